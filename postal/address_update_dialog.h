#pragma once
// Dialog 309 "住所更新確認": the page's old address beside the found one, with the choice of
// rewriting all or keeping the old street behind the new one.

#include "postal/postal_merge.h"
#include "ui/control.h"
#include "ui/dialog.h"

namespace marupo {

class AddressUpdateDialog : public ui::Dialog {
  public:
    explicit AddressUpdateDialog(AddressUpdate values);

    // After an OK run: the choice taken back from the radio buttons.
    const AddressUpdate& Values() const { return values_; }

  protected:
    void ExchangeData(ui::DataExchange& dx) override;

  private:
    void OnRewriteAll();
    void OnAppendStreet();

    AddressUpdate values_;
    ui::Control rewriteAllButton_;
    ui::Control appendStreetButton_;
};

}  // namespace marupo

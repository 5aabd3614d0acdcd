#pragma once
// Dialog 306 "町域の選択": the records of a code with several town areas, one line each, for the
// user to choose the address meant.

#include <cstddef>
#include <string>
#include <vector>

#include "postal/postal_address.h"
#include "ui/control.h"
#include "ui/dialog.h"

namespace marupo {

class TownAreaDialog : public ui::Dialog {
  public:
    // `records` as the file has them, the first one selected to start with.
    explicit TownAreaDialog(const std::vector<PostalAddress>& records);

    // After an OK run: the index of the record chosen.
    std::size_t Chosen() const { return chosen_; }

  protected:
    void ExchangeData(ui::DataExchange& dx) override;
    bool OnInitDialog() override;

  private:
    void OnDoubleClick();
    // Lets the list scroll sideways as far as its longest line reaches.
    void FitHorizontalExtent();

    std::vector<std::string> items_;
    ui::Control list_;
    std::size_t chosen_ = 0;
};

}  // namespace marupo

#pragma once
// The settings dialog (dialog 310): the paths of the nationwide and the business-office file, the
// designated-city split, and a button that opens Japan Post's download page.

#include <cstdint>
#include <string>

#include "ui/control.h"
#include "ui/dialog.h"

namespace marupo {

class SettingsDialog final : public ui::Dialog {
  public:
    SettingsDialog();

    // Filled before the run; after OK they hold what the user confirmed, divCity as 0 or 1.
    std::int32_t divCity = 0;
    std::string nationwideFile;
    std::string businessFile;

  protected:
    void ExchangeData(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    void OnOK() override;

  private:
    void BrowseNationwideFile();
    void BrowseBusinessFile();
    void Browse(std::string& path, const char* initialName);
    void OpenDownloadPage();

    ui::Control divCityCheck_;
};

}  // namespace marupo

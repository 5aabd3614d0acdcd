#include "editor/note_page.h"

#include "res/editor.h"

namespace marupo::editor {
namespace {

constexpr std::size_t kNoteLimit = 4095;

}  // namespace

NotePage::NotePage(AddressEntry& edited) : Dialog(IDD_NOTE_PAGE), entry_(edited) {}

void NotePage::ExchangeData(ui::DataExchange& dx) {
    dx.Text(IDC_NOTE_TEXT, entry_.note, kNoteLimit);
}

}  // namespace marupo::editor

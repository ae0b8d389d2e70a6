#pragma once
// The program's message presenter: a modal message box over the open page.

#include "MessageCatalogue.h"

namespace calveno::gui {

class QtMessagePresenter : public MessagePresenter {
public:
    MessageAnswer present(std::string_view text, std::string_view caption, MessageStyle style) override;
};

}  // namespace calveno::gui

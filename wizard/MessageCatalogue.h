#pragma once
// The wizard's message helper: a small code selects a text, a caption and a
// message-box style. Texts are display texts in UTF-8 (what Qt and a terminal
// show); only the files the wizard writes carry Windows-1252 bytes.

#include <span>
#include <string_view>

namespace calveno {

enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageIcon { None, Error, Exclamation, Question };

struct MessageStyle {
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::None;
    bool operator==(const MessageStyle&) const = default;
};

enum class MessageAnswer { Ok, Cancel, Yes, No };

struct MessageEntry {
    int code;
    std::string_view text;
    std::string_view caption;
    MessageStyle style;  // the style the wizard shows this code with
};

// Shows a message and returns the user's answer: message boxes in the
// program, scripted answers in tests, standard error in calveno-batch.
class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    virtual MessageAnswer present(std::string_view text, std::string_view caption, MessageStyle style) = 0;
};

// The catalogue entry for `code`, or nullptr for a code it does not hold.
const MessageEntry* findMessage(int code);

// Every code the wizard uses, in catalogue order.
std::span<const MessageEntry> allMessages();

// Shows `code` with `style`. An unknown code shows "Pas d'information
// disponible." with the caption "Erreur" in a plain OK box.
MessageAnswer ShowMessage(MessagePresenter& presenter, int code, MessageStyle style);

// Shows `code` with the style the wizard uses for it.
MessageAnswer ShowMessage(MessagePresenter& presenter, int code);

}  // namespace calveno

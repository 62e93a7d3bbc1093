// Message boxes. The window shows them with QMessageBox; the command-line tool
// prints them and the tests record them.
#pragma once

#include <string>

namespace discforge {

enum class MessageIcon { None, Error };

class MessagePort {
public:
    virtual ~MessagePort() = default;
    // Returns when the user has dismissed the box. `caption` is shown as given.
    virtual void ShowBox(const std::string& text, const std::string& caption, MessageIcon icon) = 0;
    // A Yes/No box with a warning icon; true for Yes. `caption` is shown as given.
    virtual bool AskYesNo(const std::string& text, const std::string& caption) = 0;
};

} // namespace discforge

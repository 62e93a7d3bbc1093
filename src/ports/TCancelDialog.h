// The small progress window with a Cancel button that an open creates and that
// the fetches write their status to. The window is the user interface's; the
// core sees it through this port.
#pragma once

#include <string>

namespace discforge {

class TCancelDialog {
public:
    explicit TCancelDialog(bool& cancelRequested)
        : cancelRequested_(cancelRequested)
    {
    }
    virtual ~TCancelDialog() = default;
    TCancelDialog(const TCancelDialog&) = delete;
    TCancelDialog& operator=(const TCancelDialog&) = delete;

    // Makes the (modeless) window; false when it cannot be created.
    virtual bool Create() = 0;
    virtual void SetCaption(const std::string& text) = 0;
    virtual void SetUpperText(const std::string& text) = 0;
    virtual void SetStatusText(const std::string& text) = 0;
    // Closes the window; the object stays until its owner drops it.
    virtual void Close() = 0;

    // The Cancel button: the running open or fetch sees the flag at its next poll.
    void Cancel()
    {
        cancelRequested_ = true;
        cancelled_ = true;
        Close();
    }
    // True once the user has cancelled; the window has then closed itself.
    bool WasCancelled() const { return cancelled_; }

private:
    bool& cancelRequested_;
    bool cancelled_ = false;
};

} // namespace discforge

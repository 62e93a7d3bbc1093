// The frame around the converter window: borderless (the skin draws
// everything), of the skin's one size or resizable when the skin grows, placed where the user left it last time, and the
// place where closing is asked for and the position is kept.
#pragma once

#include <QWidget>

namespace discforge {
class ProfileStore;
}

namespace discforge::ui {

class TMainWindow;

class TMyFrameWindow : public QWidget {
public:
    TMyFrameWindow(const QString& caption, ProfileStore& profile);

    // Makes `client` the hosted window, at the frame's top left; it takes the
    // decoder-settings switch kept in the profile.
    void SetClient(TMainWindow* client);
    TMainWindow* Client() const { return client_; }
    // Whether the frame may close now; when it may, its position and the two
    // switches are kept in the profile.
    bool CanClose();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    ProfileStore& profile_;
    bool editFilters_ = false;
    TMainWindow* client_ = nullptr;
};

} // namespace discforge::ui

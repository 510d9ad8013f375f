// The top-level Qt window of a loaded form window: it turns the window system's notifications
// into window events and handles the keyboard navigation between units.
#pragma once

#include <cstdint>

#include <QImage>
#include <QMainWindow>

class QKeyEvent;
class QMouseEvent;

namespace quillora::runtime {

class LiveWindow;

class FormWindow : public QMainWindow {
public:
    explicit FormWindow(LiveWindow& window);

    // The picture drawn behind the units, with its mode; a null image clears it.
    void setBackgroundImage(QImage image);
    void updateBackground();

    QWidget* clientArea() const { return client_; }

    // Gives the focus to the unit that takes it when the window comes up: the first in table
    // order that stops the Tab key, would be shown and is enabled, and whose kind may take the
    // first focus. On a hidden window it takes effect when the window is activated.
    void focusFirstUnit();

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool handleNavigationKey(QKeyEvent* event);
    void handleEnter();
    void moveTabFocus(bool forward);
    void moveRadioFocus(bool forward);
    bool handleMnemonic(QKeyEvent* event);
    bool startDragMove(QObject* watched, QMouseEvent* event);
    bool openHelpFile();

    LiveWindow& window_;
    QWidget* client_;
    QImage background_;
};

}  // namespace quillora::runtime

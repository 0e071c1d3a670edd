// The client area: paints the scene and takes the keyboard.
//
// It repaints only when what it shows has changed since the last frame (refresh() is called
// after every event the game handled), so nothing at all is painted while the game waits,
// and Qt's update() coalesces the requests of one tick into one frame.
#pragma once

#include <QWidget>

#include "qt/label_texts.h"
#include "qt/scene_painter.h"
#include "qt/scene_state.h"
#include "shell/form1_view.h"

namespace vandrel::qt {

class KeyRepeatFilter;

class SceneWidget : public QWidget {
  public:
    /// Key events go to `keys`, whatever the key: arrows, Tab and space never move the focus.
    SceneWidget(const Form1View& view, KeyRepeatFilter& keys, QWidget* parent = nullptr);

    /// Catches up with the game; schedules a repaint and returns true if the scene changed.
    bool refresh();
    /// How many frames have been painted.
    std::uint64_t frames() const { return frames_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void changeEvent(QEvent* event) override;

  private:
    const Form1View& view_;
    KeyRepeatFilter& keys_;
    LabelTexts texts_;
    ScenePainter painter_;
    SceneState shown_;
    std::uint64_t frames_ = 0;
};

}  // namespace vandrel::qt

// The open list of a combo box as the window system shows it, for tests of
// real windows.
#pragma once

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QRect>
#include <QScrollBar>

#include "platform/gui/controls.h"
#include "platform/gui/testing.h"
#include "platform/os/windows.h"

namespace zeltest {

// The native box of a shown combo box (the one at its place).
inline QComboBox* NativeComboOf(TControl* Box) {
  const QRect at(Box->Left(), Box->Top(), Box->Width(), Box->Height());
  for (QWidget* w : QApplication::allWidgets())
    if (auto* c = qobject_cast<QComboBox*>(w); c && c->isVisible() && c->geometry() == at) return c;
  return nullptr;
}

// The box's rectangle on the screen.
inline QRect ScreenRectOf(TControl* Box) {
  QComboBox* w = NativeComboOf(Box);
  return w ? QRect(w->mapToGlobal(QPoint(0, 0)), w->size()) : QRect();
}

// The open list: its frame on the screen, the rows its view shows and the
// first of them, whether it scrolls, whether its current row lies wholly in
// view.  All empty while the list is closed.
struct ShownList {
  QRect Frame;
  int Rows = 0;
  int FirstRow = -1;
  bool ScrollBar = false;
  bool CurrentInView = false;
};

inline ShownList ShownListOf(TControl* Box) {
  ShownList r;
  QComboBox* combo = NativeComboOf(Box);
  if (!combo || !combo->view() || !combo->view()->window()->isVisible()) return r;
  QAbstractItemView* v = combo->view();
  r.Frame = v->window()->frameGeometry();
  const int row = v->visualRect(combo->model()->index(0, 0)).height();
  if (row > 0) r.Rows = v->viewport()->height() / row;
  r.FirstRow = v->indexAt(QPoint(1, 1)).row();
  r.ScrollBar = v->verticalScrollBar()->isVisible() && v->verticalScrollBar()->maximum() > 0;
  r.CurrentInView = v->currentIndex().isValid() && v->viewport()->rect().contains(v->visualRect(v->currentIndex()));
  return r;
}

// The keys that open and close the list, each once in either role, in turn
// from a closed list.
struct ListToggle {
  const char* Name;
  WORD Key;
  bool Alt;
  bool Opens;
};
inline constexpr ListToggle kListToggles[] = {
    {"Alt+Up opens", VK_UP, true, true},    {"Alt+Up closes", VK_UP, true, false},
    {"Alt+Down opens", VK_DOWN, true, true}, {"F4 closes", VK_F4, false, false},
    {"F4 opens", VK_F4, false, true},        {"Alt+Down closes", VK_DOWN, true, false},
};

// Presses and lets go the key through the window system.
inline bool InputListKey(WORD Key, bool Alt) {
  const TShiftState shift = Alt ? TShiftState{ssAlt} : TShiftState();
  if (!platform::InputKey(Key, true, false, shift)) return false;
  platform::InputKey(Key, false, false, shift);
  return true;
}

}  // namespace zeltest

#include <QAbstractButton>
#include <QShortcut>

#include "app/form1.h"

namespace lumora {

namespace {

struct ButtonKey {
  QKeySequence key;
  const char* button;
};

// Keys that click a button, by the button's name.
const ButtonKey kButtonKeys[] = {
    {Qt::Key_Left, "SpeedButton15"},   // previous scene
    {Qt::Key_Right, "SpeedButton16"},  // next scene
    {Qt::Key_1, "SpeedButton1"},       // the eight palette colours
    {Qt::Key_2, "SpeedButton2"},
    {Qt::Key_3, "SpeedButton3"},
    {Qt::Key_4, "SpeedButton4"},
    {Qt::Key_5, "SpeedButton5"},
    {Qt::Key_6, "SpeedButton6"},
    {Qt::Key_7, "SpeedButton7"},
    {Qt::Key_8, "SpeedButton8"},
    {Qt::Key_P, "SpeedButton11"},                         // pencil
    {Qt::Key_B, "SpeedButton10"},                         // brush
    {Qt::CTRL | Qt::Key_O, "SpeedButton19"},              // "Otwórz"
    {Qt::CTRL | Qt::Key_S, "SpeedButton20"},              // "Zapisz"
    {Qt::CTRL | Qt::SHIFT | Qt::Key_O, "SpeedButton9"},   // "Otwórz projekt"
    {Qt::CTRL | Qt::SHIFT | Qt::Key_S, "SpeedButton12"},  // "Zapisz projekt"
    {Qt::Key_Insert, "SpeedButton17"},                    // "Dodaj"
    {Qt::Key_Delete, "SpeedButton18"},                    // "Usuń"
    {Qt::CTRL | Qt::Key_C, "Button16"},                   // "kopiuj"
    {Qt::CTRL | Qt::Key_V, "Button15"},                   // "wklej"
};

}  // namespace

void TForm1::BuildShortcuts() {
  // Window-wide, and taken before a focused button or spinner sees the key, so a key never
  // runs a control twice.
  const auto add = [this](const QKeySequence& key, auto handler) {
    auto* shortcut = new QShortcut(key, this);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, handler);
  };
  for (const ButtonKey& entry : kButtonKeys) {
    auto* button = findChild<QAbstractButton*>(QString::fromLatin1(entry.button));
    add(entry.key, [button] { button->click(); });
  }
  add(Qt::Key_Space, [this] { PlayOrStop(); });
  add(Qt::CTRL | Qt::Key_Z, [this] { Undo(); });
  add(Qt::CTRL | Qt::SHIFT | Qt::Key_Z, [this] { Redo(); });
  add(Qt::CTRL | Qt::Key_Y, [this] { Redo(); });
}

}  // namespace lumora

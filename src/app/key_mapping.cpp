#include "key_mapping.hpp"

#include <QKeyEvent>

namespace tessarim {

KeyPress keyPressOf(const QKeyEvent& event) {
  KeyPress press;
  const Qt::KeyboardModifiers held = event.modifiers();
  if (held & Qt::ShiftModifier) press.modifiers |= shift;
  if (held & Qt::ControlModifier) press.modifiers |= ctrl;
  if (held & Qt::AltModifier) press.modifiers |= alt;

  const int key = event.key();
  const bool keypad = held & Qt::KeypadModifier;
  if (key >= Qt::Key_A && key <= Qt::Key_Z) {
    press.key = static_cast<Key>(static_cast<int>(Key::a) + (key - Qt::Key_A));
  } else if (key >= Qt::Key_0 && key <= Qt::Key_9 && !keypad) {
    press.key = static_cast<Key>(static_cast<int>(Key::digit0) + (key - Qt::Key_0));
  } else if (key >= Qt::Key_F1 && key <= Qt::Key_F12) {
    press.key = static_cast<Key>(static_cast<int>(Key::f1) + (key - Qt::Key_F1));
  } else if (key == Qt::Key_Insert) {
    press.key = Key::insert;
  } else if (key == Qt::Key_Delete) {
    press.key = Key::del;
  } else if (key == Qt::Key_Space) {
    press.key = Key::space;
  } else if (key == Qt::Key_Asterisk && keypad) {
    press.key = Key::numMultiply;
  } else if (key == Qt::Key_Slash && keypad) {
    press.key = Key::numDivide;
  }
  return press;
}

}  // namespace tessarim

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

std::optional<ViewKey> viewKeyOf(const QKeyEvent& event) {
  const bool keypad = event.modifiers() & Qt::KeypadModifier;
  switch (event.key()) {
    // Without Num Lock the keypad's arrows and pages are these keys too.
    case Qt::Key_Left:
      return ViewKey::left;
    case Qt::Key_Right:
      return ViewKey::right;
    case Qt::Key_Up:
      return ViewKey::up;
    case Qt::Key_Down:
      return ViewKey::down;
    case Qt::Key_PageUp:
      return ViewKey::pageUp;
    case Qt::Key_PageDown:
      return ViewKey::pageDown;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return ViewKey::enter;
    case Qt::Key_Backspace:
      return ViewKey::backspace;
    case Qt::Key_Escape:
      return ViewKey::escape;
    case Qt::Key_0:
      if (keypad) return ViewKey::keypad0;
      break;
    case Qt::Key_Insert:  // keypad 0 without Num Lock
      if (keypad) return ViewKey::keypad0;
      break;
    case Qt::Key_Period:
    case Qt::Key_Comma:
    case Qt::Key_Delete:  // the decimal key without Num Lock
      if (keypad) return ViewKey::keypadDecimal;
      break;
    case Qt::Key_Plus:
      if (keypad) return ViewKey::keypadPlus;
      break;
    case Qt::Key_Minus:
      if (keypad) return ViewKey::keypadMinus;
      break;
    default:
      break;
  }
  return std::nullopt;
}

}  // namespace tessarim

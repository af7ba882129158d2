#pragma once

class QWidget;

// Gives the keyboard back to the window that opened a modal dialog, once the dialog has closed.
//
// A file dialog's name field completes in a popup of its own. When Return accepts the dialog
// while that popup is still up, the window manager hands the keyboard back to the window below,
// but Qt, still in the popup's mode, ignores that change: no window is active, every key is
// lost, and the window manager sees nothing to do (the window has its focus already). A
// keyboard-only user would be stuck.
namespace KeyboardOwner {

// Makes owner's window the active window when the system has given it the keyboard but Qt has
// no active window; does nothing otherwise.
void Reclaim(QWidget* owner);

} // namespace KeyboardOwner

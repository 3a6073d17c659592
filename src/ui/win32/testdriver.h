// Drives the windows of this process as a person would, with window
// messages rather than simulated input, for the window tests: find a control
// by id, click it, type into it, read its text and states, click a cell of a
// list view. Everything runs on the windows' thread; a call returns when the
// windows have handled what it sent.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace win32ui::driver {

// The window of control id `id` anywhere below `root`, or null.
HWND find(HWND root, int id);
// The visible top-level window of this thread with title `title`, or null.
HWND findTopLevel(std::string_view title);

std::string text(HWND hwnd);
bool isChecked(HWND button);
bool isEnabled(HWND hwnd);
// Visible on the screen: the window and every window it sits in.
bool isVisible(HWND hwnd);

// A click on a button (BM_CLICK), handled before the call returns.
void click(HWND button);
// Types `utf8` into the window, one WM_CHAR per UTF-16 unit, as the keyboard
// would after translation (the window's character filter applies).
void type(HWND hwnd, std::string_view utf8);
// A key pressed and released (WM_KEYDOWN, WM_KEYUP) at the window.
void pressKey(HWND hwnd, int virtualKey);
// A left click in the middle of a list view cell, through the list view's
// own mouse handling. False when the cell does not exist.
bool clickListCell(HWND list, int row, int column);

// Handles every message waiting for this thread (paint, posted clicks).
void processPending();
// Runs `action` from the message loop after `milliseconds`, also from the
// loop of a modal window or box opened meanwhile: the way a test reaches a
// window that a call it made is still showing.
void runLater(unsigned milliseconds, std::function<void()> action);
// Runs `action` with the visible top-level window of this thread titled
// `title` once it shows (looked for every 50 ms). After `timeout` ms without
// it, closes the thread's active window, so that a test waiting for a modal
// window to end goes on, and runs `action` with null.
void whenShown(std::string title, std::function<void(HWND)> action, unsigned timeout = 10000);
// The same for the first window to show of any of `titles`.
void whenShown(std::vector<std::string> titles, std::function<void(HWND)> action,
               unsigned timeout = 10000);

}  // namespace win32ui::driver

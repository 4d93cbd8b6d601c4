#pragma once

#include <functional>
#include <vector>

class QWidget;

namespace setforge::windows {

// Lets the player take a setting back to no choice, the state it has at start (the window then
// writes no line for it): "Auswahl aufheben" in the context menu of its controls (mouse, menu key,
// Shift+F10), and Delete or Backspace on a focused one. The helper lives as long as the first control.
void offerChoiceRelease(const std::vector<QWidget*>& controls, std::function<void()> release);

} // namespace setforge::windows

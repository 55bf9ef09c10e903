#pragma once

class QWidget;

// Keeps a window above all ordinary windows, without moving, sizing or
// activating it.
void MakeWindowTopmost(QWidget *window);
// True when the screen has the ordinary density of 96 dots per inch.
bool IsNormalDpi();
// 96 divided by the screen's density.
double GetDpiScale();

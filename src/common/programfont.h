#pragma once

#include <QFont>

// The six fonts of the program by number:
// 1 Arial 12 bold, 2 Arial 8, 3 Arial 8 bold, 4 Arial 16 bold, 5 "lucida Console" 12 bold,
// 6 Arial 400 bold. Sizes are fixed in pixels (points at 96 dpi) so that the overview pictures
// come out the same on every screen.
QFont programFont(int number);

// The font of every control: Arial at 8 points (11 pixels), the size the window layout is made for.
QFont interfaceFont();

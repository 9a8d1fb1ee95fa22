// The program's own pictures, drawn in resources/.
#ifndef PORTBENCH_GLYPHS_H
#define PORTBENCH_GLYPHS_H

#include <QIcon>
#include <QPixmap>
#include <vector>

QIcon LampGlyph(bool lit);            // 15 x 15: unlit while closed, lit while open
std::vector<QPixmap> ToolBarImages(); // eight pictures of 16 x 16
QIcon ProgramIcon();                  // the main icon, also the About boxes' picture

#endif

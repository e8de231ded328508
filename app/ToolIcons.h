#pragma once

#include <QIcon>
#include <QList>

// ImageList1: the six 16x16 tool bar images (new, open, save, port, send,
// stop), drawn here so that no image files need to ship.
QList<QIcon> makeToolIcons();
// The window icon: the PNGs of the installed icon, built into the program.
QIcon makeWindowIcon();

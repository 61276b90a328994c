#pragma once

#include <QIcon>
#include <QList>
#include <QPixmap>

// The program's pictures, drawn by make_images.py beside this file and kept in the
// resources as :/icons/app-<size>.png and :/images/status.png.

// The application icon in every size it is drawn in (16 to 256 pixels).
QIcon AppIcon();

// The strip holds, in this order, a badge with a red flag, one with a green flag, one with a
// white flag and a cross; which status shows which is decided with the list rows.
inline constexpr int kStatusImageSize = 20;

// The four 20 x 20 status images, their light-grey ground made transparent.
// Needs a QGuiApplication.
QList<QPixmap> StatusImages();

#pragma once

#include <QIcon>
#include <QList>

// The program's pictures, drawn by make_images.py beside this file and kept in the
// resources as :/icons/app-<size>.png and :/images/status.png (with status@2x.png, the same
// strip drawn at twice the resolution).

// The application icon in every size it is drawn in (16 to 256 pixels).
QIcon AppIcon();

// The strip holds, in this order, a badge with a red flag, one with a green flag, one with a
// white flag and a cross; which status shows which is decided with the list rows.
inline constexpr int kStatusImageSize = 20;

// The four status images, 20 x 20 and drawn again at 40 x 40 for screens scaled by 2, their
// light-grey ground made transparent. Needs a QGuiApplication.
QList<QIcon> StatusImages();

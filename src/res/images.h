#pragma once

#include <QIcon>
#include <QList>
#include <QPixmap>

// The program's pictures, drawn by make_images.py beside this file and kept in the
// resources as :/icons/app-<size>.png and :/images/status.png.

// The application icon in every size it is drawn in (16 to 256 pixels).
QIcon AppIcon();

// Index of each status image in the strip.
enum StatusImage : int {
    kStatusImageRedFlag = 0,    // Future, Today/Unread
    kStatusImageGreenFlag = 1,  // Complete
    kStatusImageWhiteFlag = 2,  // Missed
    kStatusImageCross = 3,      // To Delete
};

inline constexpr int kStatusImageSize = 20;

// The four 20 x 20 status images, their light-grey ground made transparent.
// Needs a QGuiApplication.
QList<QPixmap> StatusImages();

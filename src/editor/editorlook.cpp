#include "editor/editorlook.h"

#include <QApplication>
#include <QPainter>
#include <QPushButton>
#include <algorithm>

#include "res/strings.h"

namespace {

const QColor kGroundColour(0, 64, 128);
const QColor kFieldTextColour(0, 0, 160);
const QColor kFieldColour(255, 255, 200);
// Radio buttons of the read-only view: still readable, but plainly not to be clicked.
const QColor kDisabledTextColour(200, 210, 225);
const QColor kReadModeShadow(0, 0, 255);
const QColor kEditModeFace(255, 255, 128);
constexpr int kShadowOffset = 2;

QFont ModeLabelFont(const QFont& dialogFont) {
    QFont font = dialogFont;
    font.setBold(true);
    return font;
}

}  // namespace

void SetEditorGround(QWidget* pDialog, std::initializer_list<QPushButton*> buttons) {
    QPalette ground = QApplication::palette(pDialog);
    ground.setColor(QPalette::Window, kGroundColour);
    ground.setColor(QPalette::WindowText, Qt::white);
    ground.setColor(QPalette::Disabled, QPalette::WindowText, kDisabledTextColour);
    pDialog->setPalette(ground);
    for (QPushButton* pButton : buttons) {
        // Every role marked as set, or the dialog's colours would still pass down to them.
        QPalette system = QApplication::palette(pButton);
        system.setResolveMask(~QPalette::ResolveMask(0));
        pButton->setPalette(system);
    }
}

void SetFieldColours(QWidget* pField, bool bReadOnly) {
    QPalette palette = pField->palette();
    palette.setColor(QPalette::Base, bReadOnly ? kGroundColour : kFieldColour);
    palette.setColor(QPalette::Text, bReadOnly ? QColor(Qt::white) : kFieldTextColour);
    // The arrows of a number field are drawn in the window text colour, which must not be
    // the dialog's white on the arrows' light buttons.
    const QPalette system = QApplication::palette(pField);
    for (const QPalette::ColorGroup group :
         {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::WindowText, system.color(group, QPalette::WindowText));
    }
    pField->setPalette(palette);
}

QSize ModeLabelSize(const QFont& dialogFont) {
    const QFontMetrics metrics(ModeLabelFont(dialogFont));
    const int width = std::max(metrics.horizontalAdvance(QString::fromLatin1(Str::ReadMode)),
                               metrics.horizontalAdvance(QString::fromLatin1(Str::EditMode)));
    return {width + kShadowOffset + 2, metrics.height() + kShadowOffset};
}

void PaintModeLabel(QPainter& painter, const QRect& place, bool bReadOnly) {
    painter.setFont(ModeLabelFont(painter.font()));
    const QString text = QString::fromLatin1(bReadOnly ? Str::ReadMode : Str::EditMode);
    const int flags = Qt::AlignLeft | Qt::AlignTop;
    painter.setPen(bReadOnly ? kReadModeShadow : QColor(Qt::black));
    painter.drawText(place.translated(kShadowOffset, kShadowOffset), flags, text);
    painter.setPen(bReadOnly ? QColor(Qt::white) : kEditModeFace);
    painter.drawText(place, flags, text);
}

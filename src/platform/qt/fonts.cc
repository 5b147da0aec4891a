#include "platform/qt/fonts.h"

#include <QApplication>

namespace tabulon {

QFont systemFont(int pixels) {
    QFont font = QApplication::font();
    font.setPixelSize(pixels);
    return font;
}

QFont genevaFont(int pixels) {
    QFont font;
    font.setFamilies({QStringLiteral("Geneva"), QStringLiteral("Verdana"),
                      QStringLiteral("DejaVu Sans"), QStringLiteral("Arial")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixels);
    return font;
}

}  // namespace tabulon

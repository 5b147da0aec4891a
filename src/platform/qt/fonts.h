// The layout's two fonts, sized in pixels as the old screens' points were:
// "System" is the application font, "Geneva" a plain sans-serif.
#pragma once

#include <QFont>

namespace tabulon {

QFont systemFont(int pixels);
QFont genevaFont(int pixels);

}  // namespace tabulon

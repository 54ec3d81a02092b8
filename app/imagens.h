// The program's pictures, painted at start: bars, logos, the splash and the tree's image list.
#pragma once

#include <QIcon>
#include <QList>
#include <QPixmap>
#include <QSize>

namespace telvarim::imagens {

QPixmap BarraTopo(QSize tamanho);  // the stretched bars across the top of panels and windows
QPixmap LogoPequeno();             // 85 × 20, transparent
QPixmap LogoQuintaro();            // 190 × 52, transparent
QPixmap FiguraCentro();            // 171 × 152: a transit card
QPixmap SplashPrincipal();         // 468 × 274
QPixmap TuboEsquerdo();            // 62 × 27
QPixmap TuboCentro();              // 346 × 27
QPixmap TuboDireito();             // 63 × 27
QPixmap Medidor();                 // the tube's filling, as wide as its middle piece
QList<QPixmap> ImagensArvore();    // twelve 16 × 16 images; the tree uses 0 (selected node) to 3
QIcon IconePrograma();             // the maker's emblem, for title bars

}  // namespace telvarim::imagens

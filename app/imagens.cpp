#include "imagens.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace telvarim::imagens {

namespace {

const QColor kAzulEscuro(0x0b, 0x3c, 0x7d);
const QColor kAzul(0x2f, 0x74, 0xc0);
const QColor kAzulClaro(0xa6, 0xca, 0xf0);
const QColor kLaranja(0xf0, 0xa0, 0x20);

QPixmap Transparente(int w, int h) {
  QPixmap p(w, h);
  p.fill(Qt::transparent);
  return p;
}

QFont Fonte(int pixels, bool negrito, const char* familia = "Liberation Sans") {
  QFont f(QString::fromLatin1(familia));
  f.setPixelSize(pixels);
  f.setBold(negrito);
  return f;
}

// The maker's emblem: a blue disc with a ring and an orange tail, in a square of side l at (x, y).
void Emblema(QPainter& g, qreal x, qreal y, qreal l) {
  g.save();
  g.setRenderHint(QPainter::Antialiasing);
  QRadialGradient fundo(x + l * 0.35, y + l * 0.3, l * 0.8);
  fundo.setColorAt(0, kAzul.lighter(130));
  fundo.setColorAt(1, kAzulEscuro);
  g.setPen(Qt::NoPen);
  g.setBrush(fundo);
  g.drawEllipse(QRectF(x, y, l, l));
  g.setPen(QPen(Qt::white, l * 0.11, Qt::SolidLine, Qt::RoundCap));
  g.setBrush(Qt::NoBrush);
  g.drawEllipse(QRectF(x + l * 0.26, y + l * 0.24, l * 0.48, l * 0.48));
  g.setPen(QPen(kLaranja, l * 0.12, Qt::SolidLine, Qt::RoundCap));
  g.drawLine(QPointF(x + l * 0.58, y + l * 0.6), QPointF(x + l * 0.78, y + l * 0.8));
  g.restore();
}

// A transit card with its chip and the contactless waves, in the rectangle r.
void Cartao(QPainter& g, const QRectF& r) {
  g.save();
  g.setRenderHint(QPainter::Antialiasing);
  g.setPen(Qt::NoPen);
  g.setBrush(QColor(0, 0, 0, 40));
  g.drawRoundedRect(r.translated(3, 4), r.height() * 0.1, r.height() * 0.1);
  QLinearGradient fundo(r.topLeft(), r.bottomRight());
  fundo.setColorAt(0, kAzul);
  fundo.setColorAt(1, kAzulEscuro);
  g.setBrush(fundo);
  g.drawRoundedRect(r, r.height() * 0.1, r.height() * 0.1);
  // A band of colour across the card.
  QPainterPath faixa;
  faixa.moveTo(r.left(), r.top() + r.height() * 0.62);
  faixa.cubicTo(r.left() + r.width() * 0.4, r.top() + r.height() * 0.45, r.left() + r.width() * 0.6,
                r.top() + r.height() * 0.9, r.right(), r.top() + r.height() * 0.7);
  faixa.lineTo(r.right(), r.top() + r.height() * 0.8);
  faixa.cubicTo(r.left() + r.width() * 0.6, r.top() + r.height() * 1.0, r.left() + r.width() * 0.4,
                r.top() + r.height() * 0.55, r.left(), r.top() + r.height() * 0.72);
  faixa.closeSubpath();
  QPainterPath contorno;
  contorno.addRoundedRect(r, r.height() * 0.1, r.height() * 0.1);
  g.setBrush(kLaranja);
  g.drawPath(faixa.intersected(contorno));
  // Chip.
  const QRectF chip(r.left() + r.width() * 0.1, r.top() + r.height() * 0.22, r.width() * 0.18, r.height() * 0.22);
  QLinearGradient ouro(chip.topLeft(), chip.bottomRight());
  ouro.setColorAt(0, QColor(0xf6, 0xe2, 0x9a));
  ouro.setColorAt(1, QColor(0xc8, 0x9b, 0x3c));
  g.setBrush(ouro);
  g.setPen(QPen(QColor(0x8a, 0x6a, 0x20), 0.8));
  g.drawRoundedRect(chip, 2, 2);
  g.drawLine(QPointF(chip.center().x(), chip.top()), QPointF(chip.center().x(), chip.bottom()));
  g.drawLine(QPointF(chip.left(), chip.center().y()), QPointF(chip.right(), chip.center().y()));
  // Waves.
  g.setPen(QPen(Qt::white, r.height() * 0.035, Qt::SolidLine, Qt::RoundCap));
  g.setBrush(Qt::NoBrush);
  const QPointF c(r.right() - r.width() * 0.2, r.top() + r.height() * 0.33);
  for (int i = 1; i <= 3; ++i) {
    const qreal raio = r.height() * 0.07 * i;
    g.drawArc(QRectF(c.x() - raio, c.y() - raio, 2 * raio, 2 * raio), -45 * 16, 90 * 16);
  }
  g.setFont(Fonte(static_cast<int>(r.height() * 0.13), true));
  g.setPen(Qt::white);
  g.drawText(QRectF(r.left() + r.width() * 0.1, r.top() + r.height() * 0.5, r.width() * 0.8, r.height() * 0.2),
             Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Telvarim"));
  g.restore();
}

QPixmap Tubo(int w, bool esquerda, bool direita, const QColor& cor) {
  QPixmap p = Transparente(w, 27);
  QPainter g(&p);
  g.setRenderHint(QPainter::Antialiasing);
  QLinearGradient metal(0, 2, 0, 25);
  metal.setColorAt(0, cor.lighter(170));
  metal.setColorAt(0.35, cor.lighter(115));
  metal.setColorAt(1, cor.darker(160));
  g.setPen(Qt::NoPen);
  g.setBrush(metal);
  QRectF corpo(esquerda ? 2 : -20, 2, w + (esquerda ? -2 : 20) + (direita ? -2 : 20), 23);
  g.drawRoundedRect(corpo, esquerda || direita ? 11.5 : 0, 11.5);
  return p;
}

void Icone(QPainter& g, int i) {
  g.setRenderHint(QPainter::Antialiasing);
  g.setPen(QPen(QColor(0x33, 0x33, 0x33), 1));
  switch (i) {
    case 0: {  // selected node: an orange arrow
      QPainterPath s;
      s.moveTo(4, 2.5);
      s.lineTo(13, 8);
      s.lineTo(4, 13.5);
      s.closeSubpath();
      g.setBrush(kLaranja);
      g.setPen(QPen(kLaranja.darker(150), 1));
      g.drawPath(s);
      break;
    }
    case 1: {  // leave: a door with an arrow
      g.setBrush(QColor(0xc6, 0x28, 0x28));
      g.drawRect(QRectF(2.5, 1.5, 7, 13));
      g.setPen(QPen(QColor(0x33, 0x33, 0x33), 1.6, Qt::SolidLine, Qt::RoundCap));
      g.drawLine(QPointF(8, 8), QPointF(14.5, 8));
      g.drawLine(QPointF(12, 5.5), QPointF(14.5, 8));
      g.drawLine(QPointF(12, 10.5), QPointF(14.5, 8));
      break;
    }
    case 2: {  // the main group: a folder
      g.setBrush(QColor(0xf2, 0xc4, 0x4e));
      QPainterPath f;
      f.moveTo(1.5, 3.5);
      f.lineTo(6, 3.5);
      f.lineTo(7.5, 5);
      f.lineTo(14.5, 5);
      f.lineTo(14.5, 13.5);
      f.lineTo(1.5, 13.5);
      f.closeSubpath();
      g.drawPath(f);
      g.setBrush(QColor(0xf8, 0xdc, 0x80));
      g.drawRect(QRectF(1.5, 6.5, 13, 7));
      break;
    }
    case 3: {  // a function: a window
      g.setBrush(Qt::white);
      g.drawRect(QRectF(1.5, 2.5, 13, 11));
      g.setBrush(kAzul);
      g.drawRect(QRectF(1.5, 2.5, 13, 3));
      g.setPen(QPen(QColor(0x99, 0x99, 0x99), 1));
      g.drawLine(QPointF(4, 8.5), QPointF(12, 8.5));
      g.drawLine(QPointF(4, 11), QPointF(10, 11));
      break;
    }
    default: {  // the rest of the family's images: coloured tokens with a letter
      static const char* const letras = "ABCDEFGH";
      g.setBrush(QColor::fromHsv((i - 4) * 45, 150, 200));
      g.drawEllipse(QRectF(1.5, 1.5, 13, 13));
      g.setPen(Qt::white);
      g.setFont(Fonte(10, true));
      g.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, QString(QLatin1Char(letras[i - 4])));
      break;
    }
  }
}

}  // namespace

QPixmap BarraTopo(QSize tamanho) {
  QPixmap p(tamanho);
  QPainter g(&p);
  QLinearGradient grad(0, 0, tamanho.width(), 0);
  grad.setColorAt(0, kAzulEscuro);
  grad.setColorAt(0.6, kAzul);
  grad.setColorAt(1, kAzulClaro);
  g.fillRect(p.rect(), grad);
  g.fillRect(0, tamanho.height() - 3, tamanho.width(), 3, kLaranja);
  return p;
}

QPixmap LogoPequeno() {
  QPixmap p = Transparente(85, 20);
  QPainter g(&p);
  g.setRenderHint(QPainter::TextAntialiasing);
  Emblema(g, 1, 1, 18);
  g.setFont(Fonte(13, true));
  g.setPen(Qt::white);
  g.drawText(QRectF(22, 0, 63, 20), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Quintaro"));
  return p;
}

QPixmap LogoQuintaro() {
  QPixmap p = Transparente(190, 52);
  QPainter g(&p);
  g.setRenderHint(QPainter::TextAntialiasing);
  Emblema(g, 2, 4, 44);
  g.setFont(Fonte(27, true));
  g.setPen(kAzulEscuro);
  g.drawText(QRectF(52, 0, 138, 36), Qt::AlignLeft | Qt::AlignBottom, QStringLiteral("Quintaro"));
  g.setFont(Fonte(10, false));
  g.setPen(QColor(0x55, 0x66, 0x77));
  g.drawText(QRectF(54, 36, 136, 14), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("sistemas de bilhetagem"));
  return p;
}

QPixmap FiguraCentro() {
  QPixmap p = Transparente(171, 152);
  QPainter g(&p);
  g.setRenderHint(QPainter::Antialiasing);
  // A second card behind the first, turned a little.
  g.save();
  g.translate(85, 76);
  g.rotate(-12);
  g.setOpacity(0.55);
  Cartao(g, QRectF(-70, -62, 132, 84));
  g.restore();
  Cartao(g, QRectF(22, 50, 138, 88));
  return p;
}

QPixmap SplashPrincipal() {
  QPixmap p(468, 274);
  QPainter g(&p);
  g.setRenderHint(QPainter::Antialiasing);
  g.setRenderHint(QPainter::TextAntialiasing);
  QLinearGradient fundo(0, 0, 468, 274);
  fundo.setColorAt(0, kAzulEscuro);
  fundo.setColorAt(1, kAzul);
  g.fillRect(p.rect(), fundo);
  // Soft arcs behind the title.
  g.setPen(QPen(QColor(255, 255, 255, 28), 18));
  g.setBrush(Qt::NoBrush);
  g.drawEllipse(QRectF(250, -120, 360, 360));
  g.drawEllipse(QRectF(300, -60, 240, 240));
  g.save();
  g.translate(372, 128);
  g.rotate(-10);
  Cartao(g, QRectF(-75, -48, 150, 96));
  g.restore();
  g.setPen(Qt::white);
  g.setFont(Fonte(46, true));
  g.drawText(QRectF(28, 60, 300, 64), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Telvarim"));
  g.setFont(Fonte(15, false));
  g.setPen(kAzulClaro);
  g.drawText(QRectF(30, 122, 300, 24), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("Recarga de cartões de transporte"));
  g.fillRect(QRectF(30, 154, 60, 4), kLaranja);
  Emblema(g, 28, 206, 40);
  g.setFont(Fonte(18, true));
  g.setPen(Qt::white);
  g.drawText(QRectF(76, 206, 200, 40), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Quintaro"));
  return p;
}

QPixmap TuboEsquerdo() { return Tubo(62, true, false, QColor(0x5a, 0x6b, 0x7c)); }
QPixmap TuboCentro() { return Tubo(346, false, false, QColor(0x5a, 0x6b, 0x7c)); }
QPixmap TuboDireito() { return Tubo(63, false, true, QColor(0x5a, 0x6b, 0x7c)); }
QPixmap Medidor() { return Tubo(346, false, false, QColor(0x2e, 0x9d, 0x4a)); }

QList<QPixmap> ImagensArvore() {
  QList<QPixmap> lista;
  for (int i = 0; i < 12; ++i) {
    QPixmap p = Transparente(16, 16);
    QPainter g(&p);
    Icone(g, i);
    lista.push_back(p);
  }
  return lista;
}

QIcon IconePrograma() {
  QIcon icone;
  for (int lado : {16, 32, 48}) {
    QPixmap p = Transparente(lado, lado);
    QPainter g(&p);
    Emblema(g, 0, 0, lado);
    icone.addPixmap(p);
  }
  return icone;
}

}  // namespace telvarim::imagens

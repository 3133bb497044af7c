#pragma once

#include <QBrush>
#include <QFont>
#include <QPainterPath>
#include <QPen>
#include <QPointF>
#include <QRectF>
#include <QTransform>

#include <map>
#include <variant>
#include <vector>

class QPainter;
namespace Emf { class TRecordReader; }

// Plays enhanced-metafile records onto a QPainter, keeping the drawing state the records
// change. Records it does not know, and records that do not hold what they claim, are
// skipped.
class TEmfPlayer
{
public:
    TEmfPlayer(QPainter *painter, const QRectF &target, const QRectF &framePixels,
               qreal dpiX, qreal dpiY, quint64 serial);
    ~TEmfPlayer();
    void Play(const QByteArray &records);

private:
    struct TFontObject { QFont Font; int Escapement = 0; };
    using TObject = std::variant<QPen, QBrush, TFontObject>;
    struct TState {
        quint32 MapMode = 1;
        QPointF WindowOrg, ViewportOrg;
        QSizeF WindowExt{1, 1}, ViewportExt{1, 1};
        QTransform World;
        QPen Pen{Qt::black, 0};
        QBrush Brush{Qt::white};
        TFontObject Font;
        QColor TextColor{Qt::black};
        QColor BkColor{Qt::white};
        quint32 BkMode = 2;
        quint32 TextAlign = 0;
        Qt::FillRule FillRule = Qt::OddEvenFill;
        QPointF Position;
    };

    void Record(Emf::TRecordReader &r, qint64 at);
    void ApplyTransform();
    QTransform PageToDevice() const;
    void Select(quint32 handle);
    void DrawShape(const QPainterPath &path, bool fill);
    void Points(Emf::TRecordReader &r, bool small, qsizetype at, quint32 count, QList<QPointF> &out);
    void PolyRecord(Emf::TRecordReader &r, quint32 type);
    void PolyPolyRecord(Emf::TRecordReader &r, quint32 type);
    void Text(Emf::TRecordReader &r);
    void Bitmap(Emf::TRecordReader &r, qint64 at);
    void Clip(const QPainterPath &path, quint32 mode, bool deviceUnits);
    void ResetClip();

    QPainter *FPainter;
    QRectF FTarget;
    QTransform FOriginal;   // the painter's own transform
    QTransform FBase;       // reference pixels to the painter's device
    bool FHadClip = false;
    QPainterPath FOriginalClip;
    qreal FDpiX, FDpiY;
    quint64 FSerial;
    TState FState;
    std::vector<TState> FSaved;
    std::map<quint32, TObject> FObjects;
    bool FInPath = false;
    QPainterPath FPath;
};

// DIB bits to an image; a null image when the header and bits do not agree.
QImage Decode_Dib(const QByteArray &info, const QByteArray &bits, bool premultipliedAlpha);

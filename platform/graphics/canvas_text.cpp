// Text on the canvas, through QPainter without antialiasing. Font heights follow the
// platform's rule: a positive height is the character cell (ascent plus descent), a
// negative one the em size.
#include <QCoreApplication>
#include <QFont>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <stdexcept>
#include <tuple>

#include "platform/graphics/bitmap_image.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/font_qt.h"
#include "platform/text/cp1252.h"

namespace {

void RequireGuiApplication() {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        throw std::logic_error("text drawing needs a QGuiApplication");
}

bool IsSymbolFace(const std::string& name) {
    if (name.size() != 6) return false;
    static const char kSymbol[] = "symbol";
    for (size_t i = 0; i < 6; ++i)
        if (std::tolower(static_cast<unsigned char>(name[i])) != kSymbol[i]) return false;
    return true;
}

// The Symbol face shows Latin letters as the Greek letters of the same key.
QString SymbolText(std::string_view bytes) {
    static const char16_t kLower[26] = {0x03B1, 0x03B2, 0x03C7, 0x03B4, 0x03B5, 0x03C6, 0x03B3, 0x03B7, 0x03B9,
                                        0x03D5, 0x03BA, 0x03BB, 0x03BC, 0x03BD, 0x03BF, 0x03C0, 0x03B8, 0x03C1,
                                        0x03C3, 0x03C4, 0x03C5, 0x03D6, 0x03C9, 0x03BE, 0x03C8, 0x03B6};
    static const char16_t kUpper[26] = {0x0391, 0x0392, 0x03A7, 0x0394, 0x0395, 0x03A6, 0x0393, 0x0397, 0x0399,
                                        0x03D1, 0x039A, 0x039B, 0x039C, 0x039D, 0x039F, 0x03A0, 0x0398, 0x03A1,
                                        0x03A3, 0x03A4, 0x03A5, 0x03C2, 0x03A9, 0x039E, 0x03A8, 0x0396};
    QString out;
    out.reserve(qsizetype(bytes.size()));
    for (unsigned char c : bytes) {
        if (c >= 'a' && c <= 'z')
            out.append(QChar(kLower[c - 'a']));
        else if (c >= 'A' && c <= 'Z')
            out.append(QChar(kUpper[c - 'A']));
        else
            out.append(QChar(char16_t(text::Cp1252ToUnicode(c))));
    }
    return out;
}

// A font as it is drawn: the Qt font and its integer metrics.
struct ResolvedFont {
    QFont font;
    int ascent = 0;
    int cellHeight = 0;
    bool symbol = false;
};

// The Symbol face's letters become Unicode Greek letters (SymbolText), drawn in the label
// face, which has them: a face found under the name "Symbol" here may be one whose glyphs
// Qt cannot reach through Unicode, which would draw nothing.
const QStringList& GreekFaces() {
    static const QStringList faces{QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                                   QStringLiteral("DejaVu Sans")};
    return faces;
}

QFont MakeFont(const TFont& f, int pixelSize, bool antialiased = false) {
    QFont font(QString::fromUtf8(text::Cp1252ToUtf8(f.Name)));
    if (IsSymbolFace(f.Name)) font.setFamilies(GreekFaces());
    font.setStyleStrategy(antialiased ? QFont::PreferMatch
                                      : QFont::StyleStrategy(QFont::NoAntialias | QFont::PreferMatch));
    font.setKerning(false);
    font.setBold(f.Bold);
    font.setPixelSize(std::max(pixelSize, 1));
    return font;
}

// The em size in pixels for a font height: a negative height is the em size itself, a
// positive one the cell height, for which we take the largest em size whose cell fits.
// Only plain numbers are remembered across calls (no Qt object outlives the application).
int EmPixels(const TFont& f, int height) {
    if (height < 0) return -height;
    using Key = std::tuple<std::string, int, bool>;
    static std::mutex mutex;
    static std::map<Key, int> cache;
    const Key key{f.Name, height, f.Bold};
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (auto it = cache.find(key); it != cache.end()) return it->second;
    }
    auto cellAt = [&f](int pixels) {
        const QFontMetrics m(MakeFont(f, pixels));
        return m.ascent() + m.descent();
    };
    const QFontMetricsF reference(MakeFont(f, 1000));
    const double ratio = std::max(0.5, (reference.ascent() + reference.descent()) / 1000.0);
    int pixels = std::max(1, int(std::lround(height / ratio)));
    for (int tries = 0; tries < 8 && pixels > 1 && cellAt(pixels) > height; ++tries) --pixels;
    for (int tries = 0; tries < 8 && cellAt(pixels + 1) <= height; ++tries) ++pixels;
    std::lock_guard<std::mutex> lock(mutex);
    if (cache.size() > 1024) cache.clear();
    cache.emplace(key, pixels);
    return pixels;
}

int DrawnHeight(const TFont& f) {
    const int height = std::clamp(f.Height, -TCanvas::MaxFontHeight, TCanvas::MaxFontHeight);
    return height == 0 ? -11 : height;
}

ResolvedFont Resolve(const TFont& f) {
    ResolvedFont r;
    r.symbol = IsSymbolFace(f.Name);
    r.font = MakeFont(f, EmPixels(f, DrawnHeight(f)));
    const QFontMetrics metrics(r.font);
    r.ascent = metrics.ascent();
    r.cellHeight = metrics.ascent() + metrics.descent();
    return r;
}

QString ToQString(const ResolvedFont& font, std::string_view bytes) {
    if (font.symbol) return SymbolText(bytes);
    return QString::fromUtf8(text::Cp1252ToUtf8(bytes));
}

int Advance(const ResolvedFont& font, const QString& s) {
    const qreal w = QFontMetricsF(font.font).horizontalAdvance(s);
    return int(std::clamp<qreal>(std::round(w), 0, 1 << 30));
}

QColor ToQColor(TColor c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

}  // namespace

struct TCanvas::TextFont {
    // The font it was made for (its colour does not matter).
    std::string name;
    int height = 0;
    bool bold = false;
    ResolvedFont resolved;
    // The last text measured with it, and its width.
    std::string measured;
    int width = -1;

    int WidthOf(std::string_view text) {
        if (width < 0 || measured != text) {
            width = Advance(resolved, ToQString(resolved, text));
            measured = std::string(text);
        }
        return width;
    }
};

// Here, where the text font is a complete type.
TCanvas::TCanvas(TBitmap& bitmap) : bitmap_(bitmap) {}

TCanvas::~TCanvas() = default;

TCanvas::TextFont& TCanvas::TextFontFor(const TFont& font) {
    if (!textFont_ || textFont_->name != font.Name || textFont_->height != font.Height || textFont_->bold != font.Bold) {
        auto made = std::make_unique<TextFont>();
        made->name = font.Name;
        made->height = font.Height;
        made->bold = font.Bold;
        made->resolved = Resolve(font);
        textFont_ = std::move(made);
    }
    return *textFont_;
}

QFont QtFontOf(const TFont& font, bool antialiased) {
    RequireGuiApplication();
    return MakeFont(font, EmPixels(font, DrawnHeight(font)), antialiased);
}

QString QtTextOf(const TFont& font, std::string_view s) {
    return IsSymbolFace(font.Name) ? SymbolText(s) : QString::fromUtf8(text::Cp1252ToUtf8(s));
}

int TCanvas::TextWidth(std::string_view s) {
    RequireGuiApplication();
    return TextFontFor(Font).WidthOf(s);
}

int TCanvas::TextHeight(std::string_view) {
    RequireGuiApplication();
    return TextFontFor(Font).resolved.cellHeight;
}

void TCanvas::TextOut(int x, int y, std::string_view s) {
    RequireGuiApplication();
    TextFont& textFont = TextFontFor(Font);
    const ResolvedFont& font = textFont.resolved;
    const int width = textFont.WidthOf(s);
    QString q = ToQString(font, s);
    penPos_ = TPoint{int(std::clamp<long long>((long long)x + width, INT32_MIN, INT32_MAX)), y};
    patternPhase_ = 0;

    QImage& image = BitmapImage(Bitmap());
    if (image.isNull()) return;
    long long left = x;
    const long long top = y;
    if (left >= image.width() || top >= image.height() || left + width <= 0 || top + font.cellHeight <= 0)
        return;
    // Characters far left of the image are dropped, so the painter only meets coordinates
    // of the order of the image's size.
    long long dropped = 0;
    const QFontMetricsF metrics(font.font);
    while (left < -4096 && dropped < q.size()) {
        left += std::lround(metrics.horizontalAdvance(q[dropped]));
        ++dropped;
    }
    if (dropped > 0) q = q.mid(dropped);
    const int shownWidth = dropped > 0 ? Advance(font, q) : width;

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    if (Brush.Style == bsSolid)
        painter.fillRect(QRect(int(left), int(top), shownWidth, font.cellHeight), ToQColor(Brush.Color));
    painter.setFont(font.font);
    painter.setPen(ToQColor(Font.Color));
    painter.drawText(QPoint(int(left), int(top) + font.ascent), q);
    painter.end();
    Changed();
}

#include "Metafiles.h"

#include <QFont>
#include <QFontMetricsF>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

// Little-endian byte output.
class Bytes {
public:
    void u8(unsigned value) { m_bytes += static_cast<char>(value & 0xff); }
    void u16(unsigned value)
    {
        u8(value);
        u8(value >> 8);
    }
    void u32(std::uint32_t value)
    {
        u16(value & 0xffff);
        u16(value >> 16);
    }
    void i16(int value) { u16(static_cast<unsigned>(value) & 0xffff); }
    void i32(int value) { u32(static_cast<std::uint32_t>(value)); }
    void raw(const std::string& bytes) { m_bytes += bytes; }
    void padTo(std::size_t multiple)
    {
        while (m_bytes.size() % multiple)
            u8(0);
    }
    const std::string& str() const { return m_bytes; }
    std::size_t size() const { return m_bytes.size(); }

private:
    std::string m_bytes;
};

std::uint32_t colourRef(QColor colour)
{
    return std::uint32_t(colour.red()) | std::uint32_t(colour.green()) << 8 | std::uint32_t(colour.blue()) << 16;
}

constexpr unsigned penSolid = 0, penNull = 5;
constexpr unsigned brushSolid = 0, brushNull = 1;
constexpr std::uint32_t sourceCopy = 0x00CC0020;

// Object slots of the metafile's handle table: a new object takes the lowest
// free one, as the players expect.
class HandleTable {
public:
    explicit HandleTable(unsigned first)
        : m_first(first)
    {
    }
    unsigned take()
    {
        auto free = std::find(m_used.begin(), m_used.end(), false);
        if (free == m_used.end())
            free = m_used.insert(m_used.end(), false);
        *free = true;
        return m_first + unsigned(free - m_used.begin());
    }
    void release(unsigned handle) { m_used[handle - m_first] = false; }
    unsigned size() const { return unsigned(m_used.size()); }

private:
    unsigned m_first;
    std::vector<bool> m_used;
};

// Which pen, brush and font are selected, so that the one replaced can be
// deleted once its successor is in.
struct Selection {
    int pen = -1, brush = -1, font = -1;
};

class WindowsMetafile final : public MetafileCanvas {
public:
    WindowsMetafile(QSize size, int unitsPerInch, bool placeable)
        : m_size(size)
        , m_unitsPerInch(unitsPerInch)
        , m_placeable(placeable)
    {
        record(0x0103, {8}); // MM_ANISOTROPIC
        record(0x020B, {0, 0});
        record(0x020C, {size.height(), size.width()});
        record(0x0102, {1}); // transparent text background
    }

    void setPen(QColor colour, int width) override
    {
        Bytes params;
        params.u16(colour.isValid() ? penSolid : penNull);
        params.i16(width);
        params.i16(0);
        params.u32(colourRef(colour));
        replace(m_selection.pen, 0x02FA, params);
    }
    void setBrush(QColor colour) override
    {
        Bytes params;
        params.u16(colour.isValid() ? brushSolid : brushNull);
        params.u32(colourRef(colour));
        params.u16(0);
        replace(m_selection.brush, 0x02FC, params);
    }
    void setFont(int height, const std::string& face, bool bold) override
    {
        Bytes params;
        params.i16(-height);
        for (int value : {0, 0, 0, bold ? 700 : 400})
            params.i16(value);
        for (unsigned value : {0, 0, 0, 0, 0, 0, 0, 0})
            params.u8(value);
        params.raw(face.substr(0, 31));
        params.u8(0);
        params.padTo(2);
        replace(m_selection.font, 0x02FB, params);
    }
    void setTextColour(QColor colour) override
    {
        Bytes params;
        params.u32(colourRef(colour));
        record(0x0209, params);
    }
    void rectangle(const QRect& box) override { record(0x041B, edges(box)); }
    void ellipse(const QRect& box) override { record(0x0418, edges(box)); }
    void polygon(const std::vector<QPoint>& points) override
    {
        Bytes params;
        params.u16(unsigned(points.size()));
        for (const QPoint& point : points) {
            params.i16(point.x());
            params.i16(point.y());
        }
        record(0x0324, params);
    }
    void line(QPoint from, QPoint to) override
    {
        record(0x0214, {from.y(), from.x()});
        record(0x0213, {to.y(), to.x()});
    }
    void text(QPoint topLeft, const std::string& latin1) override
    {
        Bytes params;
        params.u16(unsigned(latin1.size()));
        params.raw(latin1);
        params.padTo(2);
        params.i16(topLeft.y());
        params.i16(topLeft.x());
        record(0x0521, params);
    }
    void bitmap(const QRect& box, const QImage& picture) override
    {
        Bytes params;
        params.u32(sourceCopy);
        params.u16(0); // DIB_RGB_COLORS
        for (int value : {picture.height(), picture.width(), 0, 0, box.height(), box.width(), box.y(), box.x()})
            params.i16(value);
        params.raw(deviceIndependentBitmap(picture));
        record(0x0F43, params);
    }

    std::string bytes() const override
    {
        Bytes file;
        if (m_placeable) {
            Bytes header;
            header.u32(0x9AC6CDD7);
            for (int value : {0, 0, 0, m_size.width(), m_size.height(), m_unitsPerInch})
                header.i16(value);
            header.u32(0);
            unsigned checksum = 0;
            for (std::size_t i = 0; i < header.size(); i += 2)
                checksum ^= unsigned(std::uint8_t(header.str()[i])) | unsigned(std::uint8_t(header.str()[i + 1])) << 8;
            header.u16(checksum);
            file.raw(header.str());
        }
        Bytes eof;
        eof.u32(3);
        eof.u16(0);
        const std::size_t words = (18 + m_records.size() + eof.size()) / 2;
        file.u16(1); // in memory
        file.u16(9);
        file.u16(0x0300);
        file.u32(std::uint32_t(words));
        file.u16(m_handles.size());
        file.u32(m_largestRecord);
        file.u16(0);
        file.raw(m_records.str());
        file.raw(eof.str());
        return file.str();
    }

private:
    void record(unsigned function, const Bytes& params)
    {
        const std::uint32_t words = std::uint32_t(3 + params.size() / 2);
        m_largestRecord = std::max(m_largestRecord, words);
        m_records.u32(words);
        m_records.u16(function);
        m_records.raw(params.str());
    }
    void record(unsigned function, std::initializer_list<int> words)
    {
        Bytes params;
        for (int value : words)
            params.i16(value);
        record(function, params);
    }
    static Bytes edges(const QRect& box)
    {
        Bytes params;
        for (int value : {box.y() + box.height(), box.x() + box.width(), box.y(), box.x()})
            params.i16(value);
        return params;
    }
    void replace(int& selected, unsigned createFunction, const Bytes& params)
    {
        record(createFunction, params);
        const unsigned handle = m_handles.take();
        record(0x012D, {int(handle)});
        if (selected >= 0) {
            record(0x01F0, {selected});
            m_handles.release(unsigned(selected));
        }
        selected = int(handle);
    }

    QSize m_size;
    int m_unitsPerInch;
    bool m_placeable;
    Bytes m_records;
    std::uint32_t m_largestRecord = 3;
    HandleTable m_handles{0};
    Selection m_selection;
};

// Records in pixels at 96 dpi: logical units are scaled on the way in.
class EnhancedMetafile final : public MetafileCanvas {
public:
    EnhancedMetafile(QSize size, int unitsPerInch)
        : m_unitsPerInch(unitsPerInch)
        , m_pixels(scaled(size))
    {
        Bytes mode;
        mode.u32(1); // transparent text background
        record(18, mode);
    }

    void setPen(QColor colour, int width) override
    {
        Bytes params;
        params.u32(colour.isValid() ? penSolid : penNull);
        params.i32(scaled(width));
        params.i32(0);
        params.u32(colourRef(colour));
        replace(m_selection.pen, 38, params);
    }
    void setBrush(QColor colour) override
    {
        Bytes params;
        params.u32(colour.isValid() ? brushSolid : brushNull);
        params.u32(colourRef(colour));
        params.u32(0);
        replace(m_selection.brush, 39, params);
    }
    void setFont(int height, const std::string& face, bool bold) override
    {
        // A LOGFONT_PANOSE, the long form that every reader accepts.
        m_fontHeight = scaled(height);
        Bytes params;
        for (int value : {-scaled(height), 0, 0, 0, bold ? 700 : 400})
            params.i32(value);
        for (unsigned value : {0, 0, 0, 0, 0, 0, 0, 0})
            params.u8(value);
        appendUtf16(params, face.substr(0, 31), 32);
        appendUtf16(params, face.substr(0, 63), 64);
        appendUtf16(params, "", 32);
        for (int i = 0; i < 6; ++i)
            params.u32(0); // version, style size, match, reserved, vendor, culture
        for (int i = 0; i < 12; ++i)
            params.u8(0); // panose and padding
        replace(m_selection.font, 82, params);
        m_font = QFont(QString::fromStdString(face));
        m_font.setPixelSize(std::max(1, m_fontHeight));
        m_font.setBold(bold);
        m_font.setHintingPreference(QFont::PreferNoHinting);
    }
    void setTextColour(QColor colour) override
    {
        Bytes params;
        params.u32(colourRef(colour));
        record(24, params);
    }
    void rectangle(const QRect& box) override { record(43, rect(scaled(box))); }
    void ellipse(const QRect& box) override { record(42, rect(scaled(box))); }
    void polygon(const std::vector<QPoint>& points) override
    {
        QRect bounds;
        std::vector<QPoint> pixels;
        for (const QPoint& point : points) {
            pixels.push_back(scaled(point));
            bounds |= QRect(pixels.back(), QSize(1, 1));
        }
        Bytes params = inclusiveRect(bounds);
        params.u32(std::uint32_t(pixels.size()));
        for (const QPoint& point : pixels) {
            params.i16(point.x());
            params.i16(point.y());
        }
        params.padTo(4);
        record(86, params);
    }
    void line(QPoint from, QPoint to) override
    {
        record(27, point(scaled(from)));
        record(54, point(scaled(to)));
    }
    void text(QPoint topLeft, const std::string& latin1) override
    {
        const QPoint at = scaled(topLeft);
        const std::vector<int> advances = characterAdvances(latin1);
        int width = 0;
        for (int advance : advances)
            width += advance;
        const int count = int(latin1.size());
        const std::uint32_t stringOffset = 76;
        const std::uint32_t spacingOffset = stringOffset + ((2 * count + 3) & ~3);
        Bytes params = inclusiveRect(QRect(at, QSize(std::max(1, width), m_fontHeight)));
        params.u32(1); // GM_COMPATIBLE
        params.u32(0);
        params.u32(0); // no scale
        params.raw(point(at).str());
        params.u32(std::uint32_t(count));
        params.u32(stringOffset);
        params.u32(0);
        params.raw(rect(QRect()).str());
        params.u32(spacingOffset);
        for (unsigned char c : latin1)
            params.u16(c);
        params.padTo(4);
        for (int advance : advances)
            params.u32(std::uint32_t(advance));
        record(84, params);
    }
    void bitmap(const QRect& box, const QImage& picture) override
    {
        const QRect pixels = scaled(box);
        const std::string dib = deviceIndependentBitmap(picture);
        const std::size_t infoSize = dib.size() - bitsSize(picture);
        Bytes params = inclusiveRect(pixels);
        params.i32(pixels.x());
        params.i32(pixels.y());
        params.i32(0);
        params.i32(0);
        params.i32(picture.width());
        params.i32(picture.height());
        params.u32(80);
        params.u32(std::uint32_t(infoSize));
        params.u32(std::uint32_t(80 + infoSize));
        params.u32(std::uint32_t(dib.size() - infoSize));
        params.u32(0); // DIB_RGB_COLORS
        params.u32(sourceCopy);
        params.i32(pixels.width());
        params.i32(pixels.height());
        params.raw(dib);
        record(81, params);
    }

    std::string bytes() const override
    {
        Bytes eof;
        eof.u32(14);
        eof.u32(20);
        eof.u32(0);
        eof.u32(16);
        eof.u32(20);

        constexpr int headerSize = 108;
        Bytes file;
        file.u32(1);
        file.u32(headerSize);
        file.raw(inclusiveRect(QRect(QPoint(0, 0), m_pixels)).str());
        // The frame in hundredths of a millimetre: 2540 per inch at 96 pixels an inch.
        file.raw(inclusiveRect(QRect(0, 0, m_pixels.width() * 2540 / 96, m_pixels.height() * 2540 / 96)).str());
        file.u32(0x464D4520);
        file.u32(0x00010000);
        file.u32(std::uint32_t(headerSize + m_records.size() + eof.size()));
        file.u32(std::uint32_t(m_count + 2));
        file.u16(m_handles.size() + 1);
        file.u16(0);
        file.u32(0);
        file.u32(0);
        file.u32(0);
        // A reference device of exactly 96 pixels an inch.
        for (int value : {960, 960, 254, 254, 0, 0, 0, 254000, 254000})
            file.i32(value);
        file.raw(m_records.str());
        file.raw(eof.str());
        return file.str();
    }

private:
    int scaled(int units) const { return units * 96 / m_unitsPerInch; }
    QPoint scaled(QPoint at) const { return {scaled(at.x()), scaled(at.y())}; }
    QSize scaled(QSize size) const { return {scaled(size.width()), scaled(size.height())}; }
    QRect scaled(const QRect& box) const
    {
        return QRect(scaled(box.topLeft()), scaled(box.topLeft() + QPoint(box.width(), box.height())) - QPoint(1, 1));
    }
    // Where each character ends, as the face set in draws it (kerning and
    // all), rounded to whole pixels as a program writing the file would: so
    // the gaps between letters come out as even as the face makes them.
    std::vector<int> characterAdvances(const std::string& latin1) const
    {
        const QString text = QString::fromLatin1(latin1.data(), qsizetype(latin1.size()));
        const QFontMetricsF metrics(m_font);
        std::vector<int> advances;
        int placed = 0;
        for (qsizetype i = 1; i <= text.size(); ++i) {
            const int end = int(std::lround(metrics.horizontalAdvance(text.left(i))));
            advances.push_back(std::max(0, end - placed));
            placed += advances.back();
        }
        return advances;
    }
    static std::size_t bitsSize(const QImage& picture)
    {
        const int bitsPerPixel = picture.format() == QImage::Format_Indexed8 ? 8 : 24;
        return std::size_t((picture.width() * bitsPerPixel + 31) / 32 * 4) * std::size_t(picture.height());
    }
    static Bytes point(QPoint at)
    {
        Bytes params;
        params.i32(at.x());
        params.i32(at.y());
        return params;
    }
    // Rectangle records exclude the right and bottom edges.
    static Bytes rect(const QRect& box)
    {
        Bytes params;
        for (int value : {box.left(), box.top(), box.right() + 1, box.bottom() + 1})
            params.i32(value);
        return params;
    }
    static Bytes inclusiveRect(const QRect& box)
    {
        Bytes params;
        for (int value : {box.left(), box.top(), box.right(), box.bottom()})
            params.i32(value);
        return params;
    }
    static void appendUtf16(Bytes& out, const std::string& latin1, std::size_t characters)
    {
        for (std::size_t i = 0; i < characters; ++i)
            out.u16(i < latin1.size() ? unsigned(std::uint8_t(latin1[i])) : 0);
    }

    void record(std::uint32_t type, const Bytes& params)
    {
        m_records.u32(type);
        m_records.u32(std::uint32_t(8 + params.size()));
        m_records.raw(params.str());
        ++m_count;
    }
    void replace(int& selected, std::uint32_t createType, const Bytes& params)
    {
        const unsigned handle = m_handles.take();
        Bytes create;
        create.u32(handle);
        create.raw(params.str());
        record(createType, create);
        Bytes select;
        select.u32(handle);
        record(37, select);
        if (selected >= 0) {
            Bytes remove;
            remove.u32(unsigned(selected));
            record(40, remove);
            m_handles.release(unsigned(selected));
        }
        selected = int(handle);
    }

    int m_unitsPerInch;
    QSize m_pixels;
    Bytes m_records;
    std::uint32_t m_count = 0;
    HandleTable m_handles{1};
    Selection m_selection;
    int m_fontHeight = 16;
    QFont m_font;
};

} // namespace

std::unique_ptr<MetafileCanvas> makeMetafileCanvas(MetafileKind kind, QSize size, int unitsPerInch)
{
    if (size.width() > 32767 || size.height() > 32767 || unitsPerInch <= 0)
        throw std::invalid_argument("metafile size out of range");
    if (kind == MetafileKind::Enhanced)
        return std::make_unique<EnhancedMetafile>(size, unitsPerInch);
    return std::make_unique<WindowsMetafile>(size, unitsPerInch, kind == MetafileKind::PlaceableWindows);
}

std::string deviceIndependentBitmap(const QImage& source)
{
    const bool indexed = source.format() == QImage::Format_Indexed8;
    const QImage picture = indexed ? source : source.convertToFormat(QImage::Format_RGB888);
    const int bitsPerPixel = indexed ? 8 : 24;
    const int stride = (picture.width() * bitsPerPixel + 31) / 32 * 4;
    const QVector<QRgb> palette = indexed ? picture.colorTable() : QVector<QRgb>();

    Bytes dib;
    dib.u32(40);
    dib.i32(picture.width());
    dib.i32(picture.height());
    dib.u16(1);
    dib.u16(unsigned(bitsPerPixel));
    dib.u32(0); // uncompressed
    dib.u32(std::uint32_t(stride * picture.height()));
    dib.i32(3780);
    dib.i32(3780);
    dib.u32(std::uint32_t(palette.size()));
    dib.u32(0);
    for (QRgb colour : palette) {
        dib.u8(unsigned(qBlue(colour)));
        dib.u8(unsigned(qGreen(colour)));
        dib.u8(unsigned(qRed(colour)));
        dib.u8(0);
    }
    for (int y = picture.height() - 1; y >= 0; --y) {
        const uchar* row = picture.constScanLine(y);
        for (int x = 0; x < picture.width(); ++x) {
            if (indexed) {
                dib.u8(row[x]);
            } else {
                dib.u8(row[3 * x + 2]);
                dib.u8(row[3 * x + 1]);
                dib.u8(row[3 * x]);
            }
        }
        dib.padTo(4);
    }
    return dib.str();
}

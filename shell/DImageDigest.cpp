#include "DImageDigest.h"

#include <QCryptographicHash>

#include <algorithm>

namespace {

// An overlap must be longer than this many rows for the exact pass to accept
// it; the tolerant pass accepts this many and more.
constexpr int MinimumOverlapRows = 60;

QRect bottomRows(int width, int height, int rows)
{
    return QRect(QPoint(0, height - rows), QPoint(width - 1, height - 1));
}

} // namespace

DImageDigest::DImageDigest(const QImage& image)
{
    reset(image);
}

void DImageDigest::reset(const QImage& image)
{
    m_image = image;
    m_lineDigests.clear();
    m_lineDigests.reserve(m_image.height());
    const int bytes = m_image.bytesPerLine();
    for (int row = 0; row < m_image.height(); ++row) {
        const char* line = reinterpret_cast<const char*>(m_image.constScanLine(row));
        m_lineDigests.append(QCryptographicHash::hash(QByteArray::fromRawData(line, bytes), QCryptographicHash::Md5));
    }
}

template <typename RowTest>
int DImageDigest::largestOverlap(const DImageDigest& other, RowTest rowsMatch) const
{
    const int height = m_image.height();
    int best = 0;
    // An overlap of k + 1 rows pairs this image's last row with the other's row k,
    // walking upwards in both.
    for (int k = 0; k < height; ++k) {
        bool holds = true;
        for (int j = 0; j <= k && holds; ++j)
            holds = rowsMatch(height - 1 - j, k - j);
        if (holds)
            best = k + 1;
    }
    return best;
}

bool DImageDigest::rowsAlike(const DImageDigest& other, int thisRow, int otherRow, int percent) const
{
    const int bytesPerLine = m_image.bytesPerLine();
    if (bytesPerLine < 1)
        return false;
    const int needed = percent * bytesPerLine / 100;
    // Never read past the shorter of the two lines (the images may differ in format).
    const int length = std::min(bytesPerLine, other.m_image.bytesPerLine());
    const uchar* a = m_image.constScanLine(thisRow);
    const uchar* b = other.m_image.constScanLine(otherRow);
    int run = 0;
    for (int index = 0; index < length; ++index) {
        if ((bytesPerLine - index) + run < needed)
            return false;
        run = a[index] == b[index] ? run + 1 : 0;
        if (run >= needed)
            return true;
    }
    return false;
}

QRect DImageDigest::match(const DImageDigest& other) const
{
    if (m_image.rect() != other.m_image.rect())
        return QRect();
    const int width = m_image.width();
    const int height = m_image.height();

    const int exact = largestOverlap(other, [&](int thisRow, int otherRow) {
        return m_lineDigests.at(thisRow) == other.m_lineDigests.at(otherRow);
    });
    if (exact > MinimumOverlapRows)
        return bottomRows(width, height, exact);

    // Tolerant pass: rows are alike when a long enough run of their bytes agrees.
    // Each stricter percentage is tried only while the whole image still matches.
    // Each percentage lies halfway between the previous one and 100, from -60 on.
    static constexpr int Percentages[] = { 20, 60, 80, 90 };
    QRect previous;
    for (const int percent : Percentages) {
        const int rows = largestOverlap(other, [&](int thisRow, int otherRow) {
            return rowsAlike(other, thisRow, otherRow, percent);
        });
        if (rows < MinimumOverlapRows)
            return previous;
        if (rows < height)
            return bottomRows(width, height, rows);
        previous = bottomRows(width, height, height);
    }
    return previous;
}

#ifndef DIMAGEDIGEST_H
#define DIMAGEDIGEST_H

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QVector>

// An image with one MD5 digest per scan line, to find where two equally sized
// images overlap vertically (the bottom rows of one repeating at the top of the
// other).
class DImageDigest
{
public:
    explicit DImageDigest(const QImage& image);

    // Replaces the image and rebuilds the line digests.
    void reset(const QImage& image);
    // The rows at the bottom of this image that repeat at the top of `other`,
    // as a rectangle in this image; a null rect when there is no such overlap.
    QRect match(const DImageDigest& other) const;

private:
    // The largest overlap, in rows, for which every row pair passes `rowsMatch`
    // (0 when none does).
    template <typename RowTest>
    int largestOverlap(const DImageDigest& other, RowTest rowsMatch) const;
    bool rowsAlike(const DImageDigest& other, int thisRow, int otherRow, int percent) const;

    QImage m_image;
    QVector<QByteArray> m_lineDigests;
};

#endif // DIMAGEDIGEST_H

#ifndef DGRAPHICSITEMCHANGENOTIFIER_H
#define DGRAPHICSITEMCHANGENOTIFIER_H

class DGraphicsItem;

// Brackets one change of an item: the constructor opens it, the destructor
// closes it. Nested guards on one item make a single notification.
class DGraphicsItemChangeNotifier
{
public:
    explicit DGraphicsItemChangeNotifier(DGraphicsItem* item);
    ~DGraphicsItemChangeNotifier();
    DGraphicsItemChangeNotifier(const DGraphicsItemChangeNotifier&) = delete;
    DGraphicsItemChangeNotifier& operator=(const DGraphicsItemChangeNotifier&) = delete;

private:
    DGraphicsItem* m_item;
};

#endif // DGRAPHICSITEMCHANGENOTIFIER_H

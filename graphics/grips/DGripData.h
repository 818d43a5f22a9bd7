#ifndef DGRIPDATA_H
#define DGRIPDATA_H

// Per-grip payload that a factory reads back in its slots.
class DGripData
{
public:
    virtual ~DGripData() = default;
};

#endif // DGRIPDATA_H

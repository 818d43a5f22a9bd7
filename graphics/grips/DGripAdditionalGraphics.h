#ifndef DGRIPADDITIONALGRAPHICS_H
#define DGRIPADDITIONALGRAPHICS_H

// Extra drawing a grip may own; nothing draws one yet.
class DGripAdditionalGraphics
{
};

#endif // DGRIPADDITIONALGRAPHICS_H

#include "DGripFactoryAbstract.h"

// The class is abstract and keeps no state; this unit gives its meta-object a home.

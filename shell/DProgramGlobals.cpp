#include "DProgramGlobals.h"

bool g_bDebugScripts = false;
quintptr g_MainWindowWId = 0;

QMap<Qt::Key, int> initKeyTranslator()
{
    return QMap<Qt::Key, int>();
}

QMap<Qt::Key, int> g_KeyTranslator = initKeyTranslator();

#ifndef DSCRIPTBUILTINLIMITS_H
#define DSCRIPTBUILTINLIMITS_H

class QScriptEngine;

// The engine's built-in functions run to their end without a statement in
// between, so the watchdog cannot look at them while they run. Those of them
// that can build a result of any size in one call, or go through any number
// of elements, are put behind a function that asks the watchdog first and
// stops the script instead of calling them when their result would not fit in
// the memory left, or when they would go through more than MaxElements:
// - Array.prototype: join, toString and toLocaleString (the text of every
//   element), concat (the elements of all), and every function that goes
//   through the elements (the number of them);
// - String.prototype: concat, replace (what each match becomes, counted by a
//   first pass), split and match of a global expression (at most one element
//   per character);
// - JSON.stringify (the text of every value, escapes counted at their
//   longest), escape, encodeURI and encodeURIComponent (each character at its
//   longest).
// Each calls the built-in itself for the work, so the results are the
// built-in's own. Under a debugger, which takes the watchdog's place, the
// built-ins run as they are.
class DScriptBuiltinLimits
{
public:
    static void install(QScriptEngine* engine);
};

#endif // DSCRIPTBUILTINLIMITS_H

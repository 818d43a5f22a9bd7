#include "DScriptBuiltinLimits.h"

#include <QScriptContext>
#include <QScriptEngine>
#include <QScriptValue>

#include "DScriptWatchdog.h"

namespace {

// What a result costs: two bytes a character; an element of an array, with
// its share of the array and of what it holds, about this much.
const qint64 BytesPerCharacter = 2;
const qint64 BytesPerElement = 32;
// Characters at their longest: "%uXXXX" for escape(), three "%XX" for
// encodeURI() and encodeURIComponent(), "\uXXXX" inside a JSON string.
const qint64 EscapedCharacter = 6;
const qint64 EncodedCharacter = 9;

// The loops that convert or measure, in script code, so that the watchdog
// sees their statements, their time and their memory as any script's. They
// hold the built-ins they need from before any script ran, and use nothing a
// script could replace but the conversions the built-ins themselves make.
const char* const HelperSource = R"JS(
(function (S, A, stopForMemory, charactersLeft) {
    function captureLength(capture) {
        return capture === undefined ? 0 : capture.length;
    }
    // How long `template` makes one match; args as a replacer gets them:
    // the match, the captures, its offset, the whole string.
    function expandedLength(template, args) {
        var captures = args.length - 3, match = args[0];
        var offset = args[captures + 1], subject = args[captures + 2];
        var length = 0;
        for (var i = 0; i < template.length; ++i) {
            var c = template[i];
            if (c !== "$" || i + 1 === template.length) { ++length; continue; }
            var n = template[i + 1];
            if (n === "$") { ++length; ++i; }
            else if (n === "&") { length += match.length; ++i; }
            else if (n === "`") { length += offset; ++i; }
            else if (n === "'") { length += subject.length - offset - match.length; ++i; }
            else if (n >= "0" && n <= "9") {
                var next = i + 2 < template.length ? template[i + 2] : "";
                var two = next >= "0" && next <= "9" ? (n - 0) * 10 + (next - 0) : -1;
                if (two >= 1 && two <= captures) { length += captureLength(args[two]); i += 2; }
                else if (n - 0 >= 1 && n - 0 <= captures) { length += captureLength(args[n - 0]); ++i; }
                else ++length;
            } else ++length;
        }
        return length;
    }
    return {
        text: function (value) { return S(value); },
        // The text of each of the first `count` elements (none for undefined
        // and null), and their lengths added up.
        texts: function (list, count, locale) {
            var parts = [], characters = 0;
            for (var i = 0; i < count; ++i) {
                var value = list[i];
                var text = value === undefined || value === null ? "" : S(locale ? value.toLocaleString() : value);
                parts[i] = text;
                characters += text.length;
            }
            return [parts, characters];
        },
        // A replacer that replaces with nothing and adds up how long the
        // string replaced with `template` would be; with the sum's reader.
        measuring: function (template, subjectLength) {
            var characters = subjectLength;
            return [function () {
                characters += expandedLength(template, arguments) - arguments[0].length;
                return "";
            }, function () { return characters; }];
        },
        // The script's own replacer, stopped once what it returned would not fit.
        counting: function (replacer, subjectLength) {
            var left = charactersLeft(), characters = subjectLength;
            return function () {
                var text = S(replacer.apply(undefined, arguments));
                characters += text.length - arguments[0].length;
                if (characters > left)
                    stopForMemory();
                return text;
            };
        },
        // A replacer for JSON.stringify that adds up the text of each value
        // before it is written, and stops the script once it would not fit;
        // it applies the script's replacer function, or keeps only the keys
        // listed (for the count: the built-in applies the list itself).
        json: function (replacer, keep, indentLength) {
            var left = charactersLeft(), characters = 0;
            return function (key, value) {
                if (replacer)
                    value = replacer.call(this, key, value);
                else if (keep && key !== "" && !(this instanceof A) && keep[S(key)] !== true)
                    return undefined;
                var type = typeof value;
                characters += S(key).length + 4 + indentLength
                    + (type === "string" ? 6 * value.length : type === "number" ? 24 : 5);
                if (characters > left)
                    stopForMemory();
                return value;
            };
        }
    };
})
)JS";

DScriptWatchdog* watchdogOf(QScriptEngine* engine)
{
    return dynamic_cast<DScriptWatchdog*>(engine->agent());
}

QScriptValue builtinOf(QScriptContext* context)
{
    return context->callee().data().property(QStringLiteral("builtin"));
}

QScriptValue helper(QScriptContext* context, const char* name)
{
    return context->callee().data().property(QStringLiteral("helpers")).property(QLatin1String(name));
}

// The built-ins take `this` as an object; a value passed to call() that is
// none would become the global object.
QScriptValue asObject(QScriptEngine* engine, const QScriptValue& value)
{
    return value.isObject() ? value : engine->toObject(value);
}

QScriptValue callBuiltin(QScriptContext* context, QScriptEngine* engine)
{
    return builtinOf(context).call(asObject(engine, context->thisObject()), context->argumentsObject());
}

quint32 lengthOf(QScriptEngine* engine, const QScriptValue& value)
{
    return asObject(engine, value).property(QStringLiteral("length")).toUInt32();
}

// The value as text, converted once, as the built-in would; invalid when the
// conversion threw (the exception goes on).
QScriptValue textOf(QScriptContext* context, QScriptEngine* engine, const QScriptValue& value)
{
    const QScriptValue text = helper(context, "text").call(QScriptValue(), QScriptValueList{value});
    return engine->hasUncaughtException() ? QScriptValue() : text;
}

// Whether a result of that many bytes fits in the memory left; otherwise the
// script is stopped.
bool fits(QScriptEngine* engine, qint64 bytes)
{
    DScriptWatchdog* watchdog = watchdogOf(engine);
    if (!watchdog || bytes <= watchdog->memoryLeft())
        return true;
    watchdog->stopForMemory();
    return false;
}

// Whether a built-in may go through that many elements; otherwise the script
// is stopped.
bool mayGoThrough(QScriptEngine* engine, quint64 elements)
{
    DScriptWatchdog* watchdog = watchdogOf(engine);
    if (!watchdog || elements <= DScriptWatchdog::MaxElements)
        return true;
    watchdog->stopForElements();
    return false;
}

// Under a debugger every built-in runs as it is.
bool unwatched(QScriptEngine* engine)
{
    return !watchdogOf(engine);
}

// Array.prototype's functions that go through the elements of `this`.
QScriptValue throughElements(QScriptContext* context, QScriptEngine* engine)
{
    if (unwatched(engine) || mayGoThrough(engine, lengthOf(engine, context->thisObject())))
        return callBuiltin(context, engine);
    return QScriptValue();
}

enum class JoinKind { Join, ToString, ToLocaleString };

QScriptValue joinElements(QScriptContext* context, QScriptEngine* engine, JoinKind kind)
{
    const QScriptValue self = asObject(engine, context->thisObject());
    // What is no array gets the built-in's own answer (an error).
    if (unwatched(engine) || (kind != JoinKind::Join && !self.isArray()))
        return callBuiltin(context, engine);
    const quint32 count = lengthOf(engine, self);
    if (!mayGoThrough(engine, count))
        return QScriptValue();
    QScriptValue separator(QStringLiteral(","));
    if (kind == JoinKind::Join && !context->argument(0).isUndefined()) {
        separator = textOf(context, engine, context->argument(0));
        if (!separator.isValid())
            return QScriptValue();
    }
    const qint64 separators = count > 0 ? qint64(count - 1) * lengthOf(engine, separator) : 0;
    if (!fits(engine, separators * BytesPerCharacter + qint64(count) * BytesPerElement))
        return QScriptValue();
    const QScriptValue texts = helper(context, "texts").call(
        QScriptValue(), QScriptValueList{self, count, kind == JoinKind::ToLocaleString});
    if (engine->hasUncaughtException())
        return texts;
    const qint64 characters = separators + qint64(texts.property(1).toNumber());
    if (!fits(engine, characters * BytesPerCharacter))
        return QScriptValue();
    return helper(context, "join").call(texts.property(0), QScriptValueList{separator});
}

QScriptValue arrayJoin(QScriptContext* context, QScriptEngine* engine)
{
    return joinElements(context, engine, JoinKind::Join);
}

QScriptValue arrayToString(QScriptContext* context, QScriptEngine* engine)
{
    return joinElements(context, engine, JoinKind::ToString);
}

QScriptValue arrayToLocaleString(QScriptContext* context, QScriptEngine* engine)
{
    return joinElements(context, engine, JoinKind::ToLocaleString);
}

QScriptValue arrayConcat(QScriptContext* context, QScriptEngine* engine)
{
    if (unwatched(engine))
        return callBuiltin(context, engine);
    const QScriptValue self = asObject(engine, context->thisObject());
    quint64 elements = self.isArray() ? lengthOf(engine, self) : 1;
    for (int i = 0; i < context->argumentCount(); ++i) {
        const QScriptValue argument = context->argument(i);
        elements += argument.isArray() ? lengthOf(engine, argument) : 1;
    }
    if (!mayGoThrough(engine, elements) || !fits(engine, qint64(elements) * BytesPerElement))
        return QScriptValue();
    return callBuiltin(context, engine);
}

// `this` of a String.prototype function as text, in `self`. False when the
// wrapper has its answer already, in `answer`: the built-in's own, when it is
// not watched or `this` is undefined or null (its error); nothing, when the
// conversion threw.
bool thisAsText(QScriptContext* context, QScriptEngine* engine, QScriptValue& self, QScriptValue& answer)
{
    const QScriptValue value = context->thisObject();
    if (unwatched(engine) || value.isUndefined() || value.isNull()) {
        answer = callBuiltin(context, engine);
        return false;
    }
    self = textOf(context, engine, value);
    return self.isValid();
}

QScriptValue stringConcat(QScriptContext* context, QScriptEngine* engine)
{
    QScriptValue self;
    QScriptValue answer;
    if (!thisAsText(context, engine, self, answer))
        return answer;
    QScriptValueList texts;
    qint64 characters = lengthOf(engine, self);
    for (int i = 0; i < context->argumentCount(); ++i) {
        texts << textOf(context, engine, context->argument(i));
        if (!texts.last().isValid())
            return QScriptValue();
        characters += lengthOf(engine, texts.last());
    }
    if (!fits(engine, characters * BytesPerCharacter))
        return QScriptValue();
    return builtinOf(context).call(asObject(engine, self), texts);
}

QScriptValue stringReplace(QScriptContext* context, QScriptEngine* engine)
{
    QScriptValue self;
    QScriptValue answer;
    if (!thisAsText(context, engine, self, answer))
        return answer;
    const QScriptValue subject = asObject(engine, self);
    const qint64 subjectLength = lengthOf(engine, self);
    // Converted once here: the built-in may be asked twice.
    QScriptValue pattern = context->argument(0);
    if (!pattern.isRegExp() && !(pattern = textOf(context, engine, pattern)).isValid())
        return QScriptValue();
    const QScriptValue replacement = context->argument(1);
    if (replacement.isFunction()) {
        const QScriptValue counting = helper(context, "counting").call(
            QScriptValue(), QScriptValueList{replacement, double(subjectLength)});
        return builtinOf(context).call(subject, QScriptValueList{pattern, counting});
    }
    const QScriptValue text = textOf(context, engine, replacement);
    if (!text.isValid())
        return QScriptValue();
    // One match at most, made into the text alone: no longer than both.
    const bool global = pattern.isRegExp() && pattern.property(QStringLiteral("global")).toBool();
    if (!global && !text.toString().contains(QLatin1Char('$')))
        return builtinOf(context).call(subject, QScriptValueList{pattern, text});
    // Otherwise measured first, by the built-in itself with a replacer that
    // adds up what each match would become.
    const QScriptValue measuring = helper(context, "measuring").call(
        QScriptValue(), QScriptValueList{text, double(subjectLength)});
    builtinOf(context).call(subject, QScriptValueList{pattern, measuring.property(0)});
    if (engine->hasUncaughtException())
        return QScriptValue();
    const qint64 characters = qint64(measuring.property(1).call().toNumber());
    if (!fits(engine, characters * BytesPerCharacter))
        return QScriptValue();
    return builtinOf(context).call(subject, QScriptValueList{pattern, text});
}

// split(), and match() of a global expression: at most one element for each
// character and one more.
QScriptValue elementsPerCharacter(QScriptContext* context, QScriptEngine* engine)
{
    QScriptValue self;
    QScriptValue answer;
    if (!thisAsText(context, engine, self, answer))
        return answer;
    const quint64 elements = quint64(lengthOf(engine, self)) + 1;
    if (!mayGoThrough(engine, elements) || !fits(engine, qint64(elements) * BytesPerElement))
        return QScriptValue();
    return builtinOf(context).call(asObject(engine, self), context->argumentsObject());
}

// Without the global flag, match() gives the match and its captures only.
QScriptValue stringMatch(QScriptContext* context, QScriptEngine* engine)
{
    const QScriptValue pattern = context->argument(0);
    if (pattern.isRegExp() && pattern.property(QStringLiteral("global")).toBool())
        return elementsPerCharacter(context, engine);
    return callBuiltin(context, engine);
}

QScriptValue jsonStringify(QScriptContext* context, QScriptEngine* engine)
{
    if (unwatched(engine))
        return callBuiltin(context, engine);
    const QScriptValue value = context->argument(0);
    const QScriptValue replacer = context->argument(1);
    const QScriptValue space = context->argument(2);
    const int indent = space.isNumber() ? qBound(0, space.toInt32(), 10)
                       : space.isString() ? qMin(10, space.toString().size()) : 0;
    QScriptValue keep;
    if (replacer.isArray()) {
        if (!mayGoThrough(engine, lengthOf(engine, replacer)))
            return QScriptValue();
        keep = engine->newObject();
        for (quint32 i = 0; i < lengthOf(engine, replacer); ++i)
            keep.setProperty(replacer.property(i).toString(), true);
    }
    const QScriptValue json = helper(context, "json").call(
        QScriptValue(), QScriptValueList{replacer.isFunction() ? replacer : QScriptValue(false),
                                         keep.isValid() ? keep : QScriptValue(false), indent + 1});
    if (!replacer.isArray())
        return builtinOf(context).call(context->thisObject(), QScriptValueList{value, json, space});
    // Counted first; the list itself then decides what is written, in its order.
    builtinOf(context).call(context->thisObject(), QScriptValueList{value, json, space});
    if (engine->hasUncaughtException())
        return QScriptValue();
    return callBuiltin(context, engine);
}

QScriptValue textAtItsLongest(QScriptContext* context, QScriptEngine* engine, qint64 charactersEach)
{
    if (unwatched(engine))
        return callBuiltin(context, engine);
    const QScriptValue text = textOf(context, engine, context->argument(0));
    if (!text.isValid())
        return QScriptValue();
    if (!fits(engine, lengthOf(engine, text) * charactersEach * BytesPerCharacter))
        return QScriptValue();
    return builtinOf(context).call(context->thisObject(), QScriptValueList{text});
}

QScriptValue escapeLimited(QScriptContext* context, QScriptEngine* engine)
{
    return textAtItsLongest(context, engine, EscapedCharacter);
}

QScriptValue encodeLimited(QScriptContext* context, QScriptEngine* engine)
{
    return textAtItsLongest(context, engine, EncodedCharacter);
}

QScriptValue stopForMemory(QScriptContext*, QScriptEngine* engine)
{
    if (DScriptWatchdog* watchdog = watchdogOf(engine))
        watchdog->stopForMemory();
    return QScriptValue();
}

QScriptValue charactersLeft(QScriptContext*, QScriptEngine* engine)
{
    DScriptWatchdog* watchdog = watchdogOf(engine);
    return double((watchdog ? watchdog->memoryLeft() : DScriptWatchdog::MemoryLimitBytes) / BytesPerCharacter);
}

struct Limited
{
    const char* holder;
    const char* name;
    QScriptEngine::FunctionSignature function;
};

const Limited LimitedBuiltins[] = {
    {"Array.prototype", "join", arrayJoin},
    {"Array.prototype", "toString", arrayToString},
    {"Array.prototype", "toLocaleString", arrayToLocaleString},
    {"Array.prototype", "concat", arrayConcat},
    {"Array.prototype", "every", throughElements},
    {"Array.prototype", "filter", throughElements},
    {"Array.prototype", "forEach", throughElements},
    {"Array.prototype", "indexOf", throughElements},
    {"Array.prototype", "lastIndexOf", throughElements},
    {"Array.prototype", "map", throughElements},
    {"Array.prototype", "reduce", throughElements},
    {"Array.prototype", "reduceRight", throughElements},
    {"Array.prototype", "reverse", throughElements},
    {"Array.prototype", "shift", throughElements},
    {"Array.prototype", "slice", throughElements},
    {"Array.prototype", "some", throughElements},
    {"Array.prototype", "sort", throughElements},
    {"Array.prototype", "splice", throughElements},
    {"Array.prototype", "unshift", throughElements},
    {"String.prototype", "concat", stringConcat},
    {"String.prototype", "replace", stringReplace},
    {"String.prototype", "split", elementsPerCharacter},
    {"String.prototype", "match", stringMatch},
    {"JSON", "stringify", jsonStringify},
    {"", "escape", escapeLimited},
    {"", "encodeURI", encodeLimited},
    {"", "encodeURIComponent", encodeLimited},
};

// "Array.prototype": the object by its path from the global object.
QScriptValue objectAt(QScriptEngine* engine, const QString& path)
{
    QScriptValue object = engine->globalObject();
    for (const QString& name : path.split(QLatin1Char('.'), Qt::SkipEmptyParts))
        object = object.property(name);
    return object;
}

} // namespace

void DScriptBuiltinLimits::install(QScriptEngine* engine)
{
    const QScriptValue global = engine->globalObject();
    QScriptValue helpers = engine->evaluate(QString::fromLatin1(HelperSource))
                               .call(QScriptValue(), QScriptValueList{global.property(QStringLiteral("String")),
                                                                      global.property(QStringLiteral("Array")),
                                                                      engine->newFunction(stopForMemory),
                                                                      engine->newFunction(charactersLeft)});
    helpers.setProperty(QStringLiteral("join"), objectAt(engine, "Array.prototype").property(QStringLiteral("join")));
    for (const Limited& limited : LimitedBuiltins) {
        QScriptValue holder = objectAt(engine, QLatin1String(limited.holder));
        const QScriptValue builtin = holder.property(QLatin1String(limited.name));
        QScriptValue data = engine->newObject();
        data.setProperty(QStringLiteral("builtin"), builtin);
        data.setProperty(QStringLiteral("helpers"), helpers);
        QScriptValue wrapper =
            engine->newFunction(limited.function, builtin.property(QStringLiteral("length")).toInt32());
        wrapper.setData(data);
        // As the built-ins are: not listed in for-in.
        holder.setProperty(QLatin1String(limited.name), wrapper, QScriptValue::SkipInEnumeration);
    }
}

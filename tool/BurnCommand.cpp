#include "BurnCommand.h"

namespace {
struct Speed {
    QStringView title;
    QStringView value;
};
constexpr Speed Speeds[] = {
    {u"1x", u"1"}, {u"2x", u"2"},   {u"4x", u"4"},   {u"6x", u"6"},
    {u"8x", u"8"}, {u"12x", u"12"}, {u"16x", u"16"}, {u"24x", u"24"},
};
} // namespace

QString speedValueForTitle(const QString& title) {
    for (const Speed& speed : Speeds) {
        if (title == speed.title) {
            return speed.value.toString();
        }
    }
    return QStringLiteral("max");
}

QStringList burnArguments(const QString& toolPath, const BurnOptions& options) {
    QStringList arguments{
        toolPath,
        QStringLiteral("burn"),
        options.imagePath,
        options.verify ? QStringLiteral("-verifyburn") : QStringLiteral("-noverifyburn"),
        options.leaveAppendable ? QStringLiteral("-noforceclose") : QStringLiteral("-forceclose"),
        QStringLiteral("-speed"),
        speedValueForTitle(options.speedTitle),
    };
    if (options.erase) {
        arguments << QStringLiteral("-erase");
    }
    arguments << QStringLiteral("-puppetstrings") << QStringLiteral("-device") << options.deviceId;
    return arguments;
}

QStringList listingArguments() {
    return {QStringLiteral("burn"), QStringLiteral("-list")};
}

QString trimBlanksAndTabs(const QString& text) {
    const auto isBlankOrTab = [](QChar c) {
        return c == u' ' || c == u'\t';
    };
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlankOrTab(text[begin])) {
        ++begin;
    }
    while (end > begin && isBlankOrTab(text[end - 1])) {
        --end;
    }
    return text.mid(begin, end - begin);
}

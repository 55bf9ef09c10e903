#include "BenchReport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>

qint64 BenchReport::nowNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

double BenchReport::median(QList<double> samples)
{
    return percentile(std::move(samples), 0.5);
}

double BenchReport::percentile(QList<double> samples, double share)
{
    if (samples.isEmpty())
        return 0;
    std::sort(samples.begin(), samples.end());
    const qsizetype index = std::clamp<qsizetype>(qsizetype(std::ceil(share * double(samples.size()))) - 1, 0,
                                                  samples.size() - 1);
    return samples.at(index);
}

QString BenchReport::amount(double value, const QString &unit)
{
    const int decimals = value >= 100 ? 0 : value >= 10 ? 1 : value >= 1 ? 2 : 3;
    return QString::number(value, 'f', decimals) + u' ' + unit;
}

void BenchReport::ratioFigure(const QString &name, double measured, double floor, const QString &unit,
                              double maxRatio)
{
    const double ratio = floor > 0 ? measured / floor : 0;
    figure(name, amount(measured, unit), amount(floor, unit), QString::number(ratio, 'f', 2),
           QStringLiteral("<= %1x floor").arg(maxRatio), floor > 0 && ratio <= maxRatio);
}

void BenchReport::limitFigure(const QString &name, double measured, std::optional<double> floor, const QString &unit,
                              double limit, const QString &goal)
{
    const bool haveFloor = floor && *floor > 0;
    figure(name, amount(measured, unit), haveFloor ? amount(*floor, unit) : QStringLiteral("-"),
           haveFloor ? QString::number(measured / *floor, 'f', 2) : QStringLiteral("-"), goal, measured <= limit);
}

void BenchReport::plainFigure(const QString &name, double measured, std::optional<double> floor, const QString &unit)
{
    const bool haveFloor = floor && *floor > 0;
    figure(name, amount(measured, unit), haveFloor ? amount(*floor, unit) : QStringLiteral("-"),
           haveFloor ? QString::number(measured / *floor, 'f', 2) : QStringLiteral("-"), QStringLiteral("-"),
           std::nullopt);
}

void BenchReport::figure(const QString &name, const QString &measured, const QString &floor, const QString &ratio,
                         const QString &goal, std::optional<bool> met)
{
    const QString verdict = !met ? QStringLiteral("-") : *met ? QStringLiteral("met") : QStringLiteral("MISSED");
    const QString line = QStringList{QStringLiteral("FIGURE"), name, measured, floor, ratio, goal, verdict}.join(u'\t');
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

#pragma once

#include <QList>
#include <QString>
#include <optional>

// What a benchmark program hands to bench/run-benchmarks.sh: one line per
// figure on standard output ("FIGURE", name, measured, floor, ratio, goal,
// verdict, separated by tabs); anything else it prints is commentary.
class BenchReport
{
public:
    // Monotonic time in nanoseconds, comparable across processes.
    static qint64 nowNs();

    static double median(QList<double> samples);
    // The sample below which the given share (0 to 1) of the samples lie.
    static double percentile(QList<double> samples, double share);

    // A figure judged by its ratio to the floor: met when measured is at most
    // maxRatio times the floor.
    static void ratioFigure(const QString &name, double measured, double floor, const QString &unit,
                            double maxRatio);
    // A figure judged against a fixed limit (met when measured is at most
    // the limit); the floor, when there is one, is shown for comparison.
    static void limitFigure(const QString &name, double measured, std::optional<double> floor, const QString &unit,
                            double limit, const QString &goal);
    // A figure shown for information, with no goal.
    static void plainFigure(const QString &name, double measured, std::optional<double> floor, const QString &unit);
    // A figure whose verdict the caller has reached.
    static void figure(const QString &name, const QString &measured, const QString &floor, const QString &ratio,
                       const QString &goal, std::optional<bool> met);

    static QString amount(double value, const QString &unit);
};

// main() of the benchmarks that need a QApplication: it lives on main's stack,
// so it is gone before Qt's own statics (a static one crashes at exit).
#include <QApplication>

#include <benchmark/benchmark.h>

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!qEnvironmentVariableIsSet("VELUMO_MEDIA_MODULE"))
        qputenv("VELUMO_MEDIA_MODULE", VELUMO_BUILD_MEDIA_MODULE);
    QApplication app(argc, argv);
    ::benchmark::Initialize(&argc, argv);
    if (::benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    ::benchmark::RunSpecifiedBenchmarks();
    ::benchmark::Shutdown();
    return 0;
}

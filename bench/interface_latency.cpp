// How long the interface thread is ever kept from its events while the view renders edits of a
// 4096 x 2836 texture and the autosave writes it, and how soon an edit shows. A 4 ms timer on
// the interface thread records the largest gap between its ticks; each material gets a burst of
// edits at drag speed (one every 16 ms, as a slider dragged in the Lighting dialog sends them),
// then one edit whose coarse picture and exact image are timed.
// Usage: interface_latency [view width] [view height]   (offscreen unless a display is set)
#include "app/autosaver.h"
#include "app/childframe.h"
#include "app/mainframe.h"
#include "app/quorvelapp.h"
#include "app/quorvelview.h"
#include "document/quorveldoc.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

// Handles events for `milliseconds`, or until `done` holds.
template <typename Done>
qint64 runUntil(Done done, int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < milliseconds)
        QApplication::processEvents(QEventLoop::AllEvents, 1);
    return clock.elapsed();
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // A profile and autosave folder of its own, so the user's are never touched.
    const QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    QApplication application(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const QSize viewSize(argc > 2 ? std::atoi(argv[1]) : 1330, argc > 2 ? std::atoi(argv[2]) : 740);

    CQuorvelApp app;
    if (!app.initInstance({QStringLiteral("-Embedding")}))
        return 1;
    CMainFrame& frame = *app.mainFrame();
    CQuorvelDoc& document = *frame.activeDocument();
    CChildFrame& child = *frame.activeChildFrame();
    CQuorvelView& view = *child.view();
    document.setImageFormat(8, QSize(4096, 2836));
    child.showMaximized();
    child.resize(viewSize + (child.size() - view.viewport()->size()));

    QElapsedTimer sinceTick;
    qint64 worstGap = 0;
    QTimer ticker;
    ticker.setInterval(4);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        worstGap = std::max(worstGap, sinceTick.restart());
    });
    QTimer autosave;
    autosave.setInterval(100);
    QObject::connect(&autosave, &QTimer::timeout, [&] { app.autosaver()->saveNow(); });

    std::printf("view %d x %d of a 4096 x 2836 texture\n", view.viewport()->width(),
                view.viewport()->height());
    std::printf("%-22s %10s %10s %14s\n", "texture", "coarse ms", "exact ms", "worst gap ms");
    qint64 overall = 0;
    for (int material = 0; material <= quorvel::kMaterialCount; ++material) {
        // The last row: Granite under Inverse Dents, the slowest texture.
        quorvel::TextureParams record = document.defaults()[std::min(material, 8)];
        record.imageWidth = 4096;
        record.imageHeight = 2836;
        if (material == quorvel::kMaterialCount) {
            record.relief = static_cast<int8_t>(quorvel::ReliefType::InverseDents);
            record.reliefIntensity = 1.0f;
        }
        document.replaceRecord(record, QStringLiteral("Set-up"));
        runUntil([&] { return !view.isRendering(); }, 60000);
        sinceTick.start();
        worstGap = 0;
        ticker.start();
        autosave.start();
        for (int step = 0; step < 60; ++step) {
            record.lightDirection.x = -1.0f + step / 30.0f;
            record.reflectionColour.r = step / 60.0f;
            document.preview(record);
            runUntil([] { return false; }, 16);
        }
        document.commitPreview(QStringLiteral("Lighting"));
        QElapsedTimer shown;
        shown.start();
        document.setParameter(CQuorvelDoc::Parameter::Turbulence, record.turbulence + 0.01f);
        const qint64 coarse = runUntil([&] { return view.coarseDrawn(); }, 60000);
        const qint64 exact = shown.elapsed() + runUntil([&] { return !view.isRendering(); }, 600000);
        ticker.stop();
        autosave.stop();
        overall = std::max(overall, worstGap);
        const std::string_view name = material == quorvel::kMaterialCount
                                          ? std::string_view("Granite, Inverse Dents")
                                          : quorvel::materialName(material);
        std::printf("%-22.*s %10lld %10lld %14lld\n", static_cast<int>(name.size()), name.data(),
                    static_cast<long long>(coarse), static_cast<long long>(exact),
                    static_cast<long long>(worstGap));
    }
    std::printf("worst gap on the interface thread: %lld ms\n", static_cast<long long>(overall));
    app.closeAllDocuments();
    return 0;
}

// Cost of repainting a keyboard picture: a select panel of 126 lit key buttons, as the pages
// repaint it 20 times a second while a lighting preview runs.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <memory>
#include <vector>

#include "controls/device_key_button.h"
#include "controls/private_fonts.h"
#include "controls/select_panel.h"
#include "controls/skin_setup.h"

namespace {

using rerov::ui::CDeviceKeyButtonUI;
using rerov::ui::CSelectPanelUI;

constexpr int kRows = 6;
constexpr int kColumns = 21;
constexpr int kKeySize = 40;
constexpr int kPitch = 43;

struct KeyPanel {
    KeyPanel() {
        window = std::make_unique<QWidget>();
        window->resize(kColumns * kPitch + 20, kRows * kPitch + 20);
        panel = new CSelectPanelUI(window.get());
        panel->setGeometry(10, 10, kColumns * kPitch, kRows * kPitch);
        panel->SetBkColor(0xFF12151B);
        for (int i = 0; i < kRows * kColumns; ++i) {
            auto* key = new CDeviceKeyButtonUI(panel);
            key->setGeometry((i % kColumns) * kPitch, (i / kColumns) * kPitch, kKeySize, kKeySize);
            key->SetAttribute("normalimage", "images/key_normal.svg");
            key->SetAttribute("lightimage", "images/key_light.svg");
            key->SetAttribute("keysetimage", "images/key_set.svg");
            key->SetAttribute("keyunsetimage", "images/key_unset.svg");
            key->SetText(QString::number(i % 10));
            keys.push_back(key);
        }
    }
    // A moving rainbow, as a wave effect would send it.
    void Light(int frame) {
        for (size_t i = 0; i < keys.size(); ++i) {
            const int hue = int((i * 7 + size_t(frame) * 5) % 360);
            const QColor c = QColor::fromHsv(hue, 255, 255);
            keys[i]->SetKeyLight(quint32(c.red() | c.green() << 8 | c.blue() << 16), 255, 1);
        }
    }
    std::unique_ptr<QWidget> window;
    CSelectPanelUI* panel = nullptr;
    std::vector<CDeviceKeyButtonUI*> keys;
};

// Full repaint of the shown panel through Qt's widget painting (the path of update()).
void BM_RepaintLitKeyPanel(benchmark::State& state) {
    KeyPanel k;
    k.window->show();
    QApplication::processEvents();
    int frame = 0;
    for (auto _ : state) {
        k.Light(frame++);
        k.panel->repaint();
    }
    state.counters["keys"] = double(k.keys.size());
    state.counters["frames_per_s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RepaintLitKeyPanel)->Unit(benchmark::kMillisecond);

// The same panel rendered into an image (no window on screen).
void BM_RenderLitKeyPanelToImage(benchmark::State& state) {
    KeyPanel k;
    QImage image(k.panel->size(), QImage::Format_ARGB32_Premultiplied);
    int frame = 0;
    for (auto _ : state) {
        k.Light(frame++);
        k.panel->render(&image);
    }
}
BENCHMARK(BM_RenderLitKeyPanelToImage)->Unit(benchmark::kMillisecond);

// Painting one lit key with a mark, without Qt's widget machinery around it.
void BM_PaintOneLitKey(benchmark::State& state) {
    CDeviceKeyButtonUI key;
    key.resize(kKeySize, kKeySize);
    key.SetAttribute("normalimage", "images/key_normal.svg");
    key.SetAttribute("lightimage", "images/key_light.svg");
    key.SetAttribute("keysetimage", "images/key_set.svg");
    key.SetKeySetMarkHidden(0);
    key.SetText("Q");
    QImage image(key.size(), QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    quint32 colour = 0;
    for (auto _ : state) {
        key.SetKeyLight(colour, 255, 1);
        colour = (colour + 0x010203) & 0xFFFFFF;
        key.DoPaint(painter, key.rect());
    }
}
BENCHMARK(BM_PaintOneLitKey)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    rerov::ui::PrivateFonts fonts;
    if (!rerov::ui::SetUpSkin(app, QStringLiteral(REROV_BENCH_SKIN_DIR),
                              QStringLiteral(REROV_BENCH_SKIN_DIR "/../Font"), fonts)) {
        fprintf(stderr, "cannot set up the skin at %s\n", REROV_BENCH_SKIN_DIR);
        return 2;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

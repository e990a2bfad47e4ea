#include "shadow/overlay.h"

#include <cstdio>
#include <cstring>

#include "assets/font.h"
#include "draw/compose.h"
#include "draw/draw.h"
#include "shadow/stencil.h"
#include "shadow/volume.h"

namespace {

// The volumes' sides: a cyan that stands out from the bricks, covering
// two fifths of what lies behind; their edges white.
const float volumeSide[4] = {0.3f, 0.9f, 1.0f, 0.4f};
const float volumeEdge[4] = {1.0f, 1.0f, 1.0f, 1.0f};

void rectangle(float x0, float y0, float x1, float y1) {
    drawBegin(drawTriangleStrip);
    drawVertex3f(x0, y0, 0.0f);
    drawVertex3f(x1, y0, 0.0f);
    drawVertex3f(x0, y1, 0.0f);
    drawVertex3f(x1, y1, 0.0f);
    drawEnd();
}

// Text in white from (x, y) in clip space; lighting is off, so the glyphs
// take the colour as it is.
void say(float x, float y, const char* text) {
    drawColor3f(1.0f, 1.0f, 1.0f);
    drawRasterPos2f(x, y);
    textPrint("%s", text);
}

}  // namespace

void overlayFlatBegin() {
    drawDisable(drawDepthTest);
    drawDisable(drawTexturing);
    drawDisable(drawLighting);
    drawMatrixMode(drawProjection);
    drawPushMatrix();
    drawLoadIdentity();
    drawMatrixMode(drawModelView);
    drawPushMatrix();
    drawLoadIdentity();
}

void overlayFlatEnd() {
    drawPopMatrix();
    drawMatrixMode(drawProjection);
    drawPopMatrix();
    drawMatrixMode(drawModelView);
    drawEnable(drawLighting);
    drawEnable(drawTexturing);
    drawEnable(drawDepthTest);
}

void overlayVolumesDraw(const Occluder& occluder, const Vec3& light) {
    Occluder shown = occluder;
    occluderSetLight(shown, light);
    occluderChooseCasters(shown);
    shadowVolumesBuild(shown);
    drawDisable(drawLighting);
    drawDisable(drawTexturing);
    drawDepthMask(0);
    // Both sides of every side, so that a volume seen from within shows.
    drawDisable(drawCulling);
    drawEnable(drawBlending);
    drawBlendFunc(drawBlendAlpha);
    drawColor4f(volumeSide[0], volumeSide[1], volumeSide[2], volumeSide[3]);
    shadowSilhouetteDraw(shown);
    drawBlendFunc(drawBlendReplace);
    drawDisable(drawBlending);
    drawColor4f(volumeEdge[0], volumeEdge[1], volumeEdge[2], volumeEdge[3]);
    drawBegin(drawLines);
    shadowSilhouetteEdges(shown);
    drawEnd();
    drawEnable(drawCulling);
    drawDepthMask(1);
    drawEnable(drawTexturing);
    drawEnable(drawLighting);
}

void overlayLegendDraw(int passes) {
    overlayFlatBegin();
    // The palette left to right, its colours blended as the view blends
    // them, over a dark band.
    drawColor4f(0.0f, 0.0f, 0.0f, 1.0f);
    rectangle(0.22f, 0.60f, 0.97f, 0.97f);
    const float x0 = 0.26f, x1 = 0.93f, y0 = 0.74f, y1 = 0.82f;
    drawBegin(drawTriangleStrip);
    for (int i = 0; i < drawCountPaletteSize; ++i) {
        const float* c = drawCountPalette[i];
        const float x = x0 + (x1 - x0) * i / (drawCountPaletteSize - 1);
        // Top before bottom: every triangle counter-clockwise, so none is
        // culled.
        drawColor4f(c[0], c[1], c[2], 1.0f);
        drawVertex3f(x, y1, 0.0f);
        drawVertex3f(x, y0, 0.0f);
    }
    drawEnd();
    char most[16];
    std::snprintf(most, sizeof most, "%d", passes);
    say(x0, 0.86f, "passes in shadow");
    say(x0, 0.64f, "0");
    say(x1 - 0.045f * static_cast<float>(std::strlen(most)), 0.64f, most);
    overlayFlatEnd();
}

void overlayHelpDraw(int passes, float lightSize) {
    char passes_[24], size[40];
    std::snprintf(passes_, sizeof passes_, "passes: %d", passes);
    std::snprintf(size, sizeof size, "light size: %gx", static_cast<double>(lightSize));
    const char* const keys[][2] = {{"W A S D, arrows", "fly"},
                                   {"mouse", "look around"},
                                   {"J L K I O U", "move the light"},
                                   {"Space (held)", "the light's rays"},
                                   {"V", "shadow volumes"},
                                   {"C", "passes in shadow"},
                                   {"N M", passes_},
                                   {"Z X", size},
                                   {"F1, H", "this help"},
                                   {"Escape", "quit"}};
    const int count = sizeof keys / sizeof keys[0];
    overlayFlatBegin();
    drawEnable(drawBlending);
    drawBlendFunc(drawBlendAlpha);
    drawColor4f(0.0f, 0.0f, 0.0f, 0.7f);
    rectangle(-0.97f, 0.95f - 0.1f * count - 0.04f, 0.72f, 0.97f);
    drawBlendFunc(drawBlendReplace);
    drawDisable(drawBlending);
    for (int i = 0; i < count; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "%-16s%s", keys[i][0], keys[i][1]);
        say(-0.93f, 0.86f - 0.1f * i, line);
    }
    overlayFlatEnd();
}

void overlayFrameRatePrint(float fps) {
    drawDisable(drawTexturing);
    drawPushMatrix();
    drawLoadIdentity();
    drawTranslatef(0.0f, 0.0f, -1.0f);
    drawRasterPos2f(-0.8f, -0.8f);
    drawColor3f(1.0f, 1.0f, 1.0f);
    textPrint("%4.4f", static_cast<double>(fps));
    drawPopMatrix();
    drawEnable(drawTexturing);
}

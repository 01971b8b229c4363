#include "effects/Forcefield.h"

#include "gl/ErrorBox.h"
#include "math/Random.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

// The seed the particles are scattered from on every init.
static constexpr unsigned int kSeed = 100;

// A fresh random value in 0..1.
static float unitRandom()
{
    return static_cast<float>(nextRandom()) / static_cast<float>(kRandomMax);
}

// v / |v|, and the zero vector for the zero vector.
static Vec3 direction(const Vec3& v)
{
    float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (length == 0.0f)
        return Vec3();
    return Vec3(v.x / length, v.y / length, v.z / length);
}

Forcefield::Forcefield() = default;

void Forcefield::init(int time)
{
    initBase(time);
    seedRandom(kSeed);
    for (Particle& p : particles) {
        float x = (unitRandom() - 0.5f) * 30.0f;
        float y = (unitRandom() - 0.5f) * 30.0f;
        float z = (unitRandom() - 0.5f) * 30.0f;
        p.position = Vec3(x, y, z);
        for (Vec3& point : p.trail)
            point = p.position;
        p.force = Vec3();
        float vx = (unitRandom() - 0.5f) * 0.1f;
        float vy = -0.5f * unitRandom();
        float vz = (unitRandom() - 0.5f) * 0.1f;
        p.velocity = Vec3(vx, vy, vz);
        // The trail cursor stays where it is: every point of the ring now
        // holds the same position, so where the ring starts does not show.
    }
}

const SignalTable& Forcefield::signals()
{
    static const SignalInfo codes[] = {
        {90, "gain", "field strength"},
    };
    static const SignalTable table = signalTable(codes, &Effect::signals());
    return table;
}

void Forcefield::signal(const SignalArgs& args)
{
    Effect::signal(args);
    if (args.code == 90)
        gain = static_cast<float>(args.args[0]);
}

void Forcefield::attractors(float t, Vec3& a, Vec3& b)
{
    a = Vec3((std::cos(10.0f * t) + std::sin(80.0f * t)) * 15.0f, std::cos(80.0f * t) * 20.0f,
             std::sin(50.0f * t) * 30.0f - 60.0f);
    b = Vec3(std::sin(-20.0f * t) * 45.0f, (std::sin(30.0f * t) + std::cos(-50.0f * t)) * 10.0f,
             std::sin(-70.0f * t) * 15.0f - 30.0f);
}

Vec3 Forcefield::forceAt(const Vec3& p, const Vec3& a, const Vec3& b)
{
    return direction(a - p) * 0.8f + direction(b - p) * 1.0f - Vec3(0.0f, 0.1f, 0.0f);
}

int Forcefield::simulate(float limit, const Vec3& a, const Vec3& b)
{
    int steps = 0;
    const float pull = kStep * gain;
    while (clock + kStep < limit) {
        if (steps == kMaxStepsPerFrame) {
            clock = limit;
            break;
        }
        clock += kStep;
        ++steps;
        for (Particle& p : particles) {
            p.force = forceAt(p.position, a, b);
            p.velocity = p.velocity + p.force * pull;
            p.position = p.position + p.velocity;
            p.trail[p.cursor] = p.position;
            p.cursor = p.cursor + 1 == kTrailLength ? 0 : p.cursor + 1;
        }
    }
    return steps;
}

void Forcefield::drawTrails() const
{
    for (const Particle& p : particles) {
        int point = p.cursor;
        float level = 0.0f;
        // Each vertex takes the colour set after the one before it, so the
        // oldest point is fully transparent and the newest one is left out.
        glColor4f(0.0f, 0.0f, 0.0f, 0.0f);
        glBegin(GL_LINE_STRIP);
        for (int k = 0; k < kTrailLength - 1; ++k) {
            const Vec3& v = p.trail[point];
            glVertex3f(v.x, v.y, v.z);
            point = point + 1 == kTrailLength ? 0 : point + 1;
            level += 0.01f;
            glColor4f(0.4f * level, 0.4f * level, 0.5f * level, level);
        }
        glEnd();
    }
}

void Forcefield::advance(int time, bool applyRect)
{
    update(time, applyRect);
    Vec3 a, b;
    attractors(scaledLocalTime * 0.001f, a, b);
    stepsLastFrame = simulate(scaledLocalTime * kStepsPerScaledUnit, a, b);
}

void Forcefield::catchUp(int time)
{
    advance(time, false);
}

void Forcefield::render(int time, bool applyRect)
{
    advance(time, applyRect);

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 1.33, 1.0, 500.0);
    glMatrixMode(GL_MODELVIEW);
    // On top of whatever the layer pass left current: the pass protects the
    // matrix around each effect of layers 1 to 15.
    glTranslatef(0.0f, 0.0f, -100.0f);
    glRotatef(scaledLocalTime * 10.0f, 0.0f, 1.0f, 0.0f);

    glDepthMask(GL_FALSE);
    glPointSize(3.0f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glLineWidth(1.5f);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);

    drawTrails();

    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
    checkGLError("Forcefield");
}

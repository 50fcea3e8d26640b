#include "engine/relief.h"

#include "engine/noise.h"

#include <cmath>

namespace quorvel {

namespace {

constexpr int kWaveSources = 10;
constexpr float kPerSource = 0.1f;  // one over the number of wave sources

inline float dot(const Vec3& a, const Vec3& b) noexcept {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

inline void normalise(Vec3& n) noexcept {
    const float length = std::sqrt(dot(n, n));
    n = Vec3{n.x / length, n.y / length, n.z / length};
}

inline void addScaled(Vec3& n, float k, const Vec3& v) noexcept {
    n = Vec3{n.x + k * v.x, n.y + k * v.y, n.z + k * v.z};
}

// Waves and Ripples: ten circular wave sources; Waves gives each source its own frequency.
void waves(const Vec3& p, const TextureParams& record, Vec3& normal, bool perSource) noexcept {
    const NoiseTables& t = noiseTables();
    const float a = record.reliefIntensity;
    for (int i = 0; i < kWaveSources; ++i) {
        const Vec3& source = t.waveDirections[static_cast<size_t>(i)];
        const Vec3 q{p.x - source.x, p.y - source.y, p.z - source.z};
        float l2 = dot(q, q);
        if (l2 == 0.0f) {
            l2 = 1.0f;
        }
        const float l = std::sqrt(l2);
        float k;
        if (perSource) {
            const float f = t.waveFrequencies[static_cast<size_t>(i)];
            const float w = l * f * record.reliefFrequency + record.reliefPhase;
            k = (a / f) * cycloid(w) / l * kPerSource;
        } else {
            const float w = l * record.reliefFrequency + record.reliefPhase;
            k = cycloid(w) * a / l * kPerSource;
        }
        addScaled(normal, k, q);
    }
    normalise(normal);
}

inline float latticeNoise(const Vec3& p, const LatticePeriod& period) noexcept {
    return period.wraps() ? noise(p.x, p.y, p.z, period) : noise(p);
}

inline Vec3 latticeVectorNoise(float x, float y, float z, const LatticePeriod& period) noexcept {
    return period.wraps() ? vectorNoise(x, y, z, period) : vectorNoise(x, y, z);
}

void bumps(const Vec3& p, float a, Vec3& normal, const LatticePeriod& period) noexcept {
    if (a != 0.0f) {
        addScaled(normal, a, latticeVectorNoise(p.x, p.y, p.z, period));
        normalise(normal);
    }
}

void dents(const Vec3& p, float a, Vec3& normal, const LatticePeriod& period) noexcept {
    if (a != 0.0f) {
        const float n = latticeNoise(p, period);
        addScaled(normal, n * n * n * a, latticeVectorNoise(p.x, p.y, p.z, period));
        normalise(normal);
    }
}

void inverseDents(const Vec3& p, float a, Vec3& normal, const LatticePeriod& period) noexcept {
    if (a == 0.0f) {
        return;
    }
    Vec3 sum;
    float s = 1.0f;
    for (int k = 0; k < 10; ++k) {
        const Vec3 d = latticeVectorNoise(s * p.x, s * p.y, s * p.z, period.times(int64_t{1} << k));
        sum = Vec3{sum.x + std::fabs(d.x / s), sum.y + std::fabs(d.y / s),
                   sum.z + std::fabs(d.z / s)};
        s = 2.0f * s;
    }
    addScaled(normal, a, sum);
    normalise(normal);
}

inline float power(float base, float exponent) noexcept {
    return static_cast<float>(std::pow(static_cast<double>(base), static_cast<double>(exponent)));
}

// One channel of steps 2 to 6: highlight spread, lit colour, darkening, reflection blend.
inline float litChannel(float c, float light, float reflection, float brilliance, float s,
                        float darkened) noexcept {
    const float q = (1.0f - s) * (1.0f - s);
    const float h = 1.0f / (brilliance * brilliance * q + 1.0f);
    const float lit = darkened * (c * light);
    return reflection * light * h * (1.0f - lit) + lit;
}

inline float specularChannel(float c, float e, float light, float reflection,
                             float brilliance) noexcept {
    const float exponent = 13.0f / (brilliance * brilliance * 0.000025f + 1.0f);
    return c + power(e, exponent) * 0.5f * reflection * light;
}

inline float atMostOne(float c) noexcept { return c > 1.0f ? 1.0f : c; }

}  // namespace

void applyRelief(const Vec3& p, const TextureParams& record, Vec3& normal) noexcept {
    applyRelief(p, record, normal, LatticePeriod{});
}

void applyRelief(const Vec3& p, const TextureParams& record, Vec3& normal,
                 const LatticePeriod& period) noexcept {
    const float a = record.reliefIntensity;
    switch (static_cast<ReliefType>(record.relief)) {
    case ReliefType::Waves: waves(p, record, normal, true); break;
    case ReliefType::Ripples: waves(p, record, normal, false); break;
    case ReliefType::Bumps: bumps(p, a, normal, period); break;
    case ReliefType::Dents: dents(p, a, normal, period); break;
    case ReliefType::InverseDents: inverseDents(p, a, normal, period); break;
    default: break;
    }
}

bool reliefCrossFadesWhenTiled(int8_t relief) noexcept {
    return relief == static_cast<int8_t>(ReliefType::Waves) ||
           relief == static_cast<int8_t>(ReliefType::Ripples);
}

float reliefHeight(const Vec3& p, const TextureParams& record,
                   const LatticePeriod& period) noexcept {
    const NoiseTables& t = noiseTables();
    const auto relief = static_cast<ReliefType>(record.relief);
    switch (relief) {
    case ReliefType::Waves:
    case ReliefType::Ripples: {
        // A wave whose slope is sin(w) has the height -cos(w) / (its frequency); the quarter
        // period turns the table's sine into that cosine.
        float height = 0.0f;
        for (int i = 0; i < kWaveSources; ++i) {
            const Vec3& source = t.waveDirections[static_cast<size_t>(i)];
            const Vec3 q{p.x - source.x, p.y - source.y, p.z - source.z};
            const float l = std::sqrt(dot(q, q));
            const float f =
                relief == ReliefType::Waves ? t.waveFrequencies[static_cast<size_t>(i)] : 1.0f;
            const float w = l * f * record.reliefFrequency + record.reliefPhase;
            height += cycloid(w + 0.25f) / (f * f) * kPerSource;
        }
        return height;
    }
    case ReliefType::Bumps: return latticeNoise(p, period);
    case ReliefType::Dents: {
        const float n = latticeNoise(p, period);
        return -(n * n * n);
    }
    case ReliefType::InverseDents: {
        float height = 0.0f;
        float s = 1.0f;
        for (int k = 0; k < 10; ++k) {
            const Vec3 d =
                latticeVectorNoise(s * p.x, s * p.y, s * p.z, period.times(int64_t{1} << k));
            height += (std::fabs(d.x) + std::fabs(d.y) + std::fabs(d.z)) / s;
            s = 2.0f * s;
        }
        return height;
    }
    }
    return 0.0f;
}

void shade(const Vec3& p, const TextureParams& record, Colour& colour,
           const Vec3& normal) noexcept {
    const Vec3& l = record.lightDirection;
    const float d = dot(normal, l) / std::sqrt(dot(l, l));
    const float s = (d + 1.0f) * 0.5f;
    const float darkened = s < 0.5f ? 0.5f * power(2.0f * s, 1.5f) : s;

    const Colour& lc = record.lightColour;
    const Colour& rc = record.reflectionColour;
    const Vec3& k = record.brilliance;
    colour.r = litChannel(colour.r, lc.r, rc.r, k.x, s, darkened);
    colour.g = litChannel(colour.g, lc.g, rc.g, k.y, s, darkened);
    colour.b = litChannel(colour.b, lc.b, rc.b, k.z, s, darkened);

    const float length = std::sqrt(dot(p, p));
    if (length > 0.0f) {
        const Vec3 v{p.x / length, p.y / length, p.z / length};
        const Vec3 h{(l.x - v.x) * 0.5f, (l.y - v.y) * 0.5f, (l.z - v.z) * 0.5f};
        const float e = dot(normal, h);
        if (e > 0.01f) {
            colour.r = specularChannel(colour.r, e, lc.r, rc.r, k.x);
            colour.g = specularChannel(colour.g, e, lc.g, rc.g, k.y);
            colour.b = specularChannel(colour.b, e, lc.b, rc.b, k.z);
        }
    }
    colour.r = atMostOne(colour.r);
    colour.g = atMostOne(colour.g);
    colour.b = atMostOne(colour.b);
}

}  // namespace quorvel

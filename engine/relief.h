#pragma once

#include "engine/noise.h"
#include "engine/textureparams.h"

namespace quorvel {

// Perturbs the normal N (the caller sets it to (0, 0, 1)) by the record's relief at point P and
// leaves it of unit length. A relief outside 0 to 4 leaves N as it is.
void applyRelief(const Vec3& p, const TextureParams& record, Vec3& normal) noexcept;
// The same with the noise of Bumps, Dents and Inverse Dents on a lattice that repeats with
// `period` (that of P), for textures that tile. Waves and Ripples are not periodic.
void applyRelief(const Vec3& p, const TextureParams& record, Vec3& normal,
                 const LatticePeriod& period) noexcept;

// The relief's own height at point P, for height maps: the wave sums of Waves and Ripples (whose
// slopes are the normal's tilt), the noise of Bumps, the cubed noise of Dents (negated: they are
// hollows) and the octave sum of Inverse Dents. 0 for a relief outside 0 to 4.
float reliefHeight(const Vec3& p, const TextureParams& record,
                   const LatticePeriod& period = {}) noexcept;

// Whether a relief cannot repeat through its lattice: the waves spread in circles from their
// sources.
bool reliefCrossFadesWhenTiled(int8_t relief) noexcept;

// Lights the colour's r, g, b in place with the record's light and reflection, using the
// normal. Each channel ends at most 1.0. The fourth channel is not touched.
void shade(const Vec3& p, const TextureParams& record, Colour& colour, const Vec3& normal) noexcept;

}  // namespace quorvel

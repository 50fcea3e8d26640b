#include "files/imageencoder.h"

#include "files/atomicfile.h"

namespace quorvel {

bool ImageEncoder::finish() { return !mFile.failed(); }

}  // namespace quorvel

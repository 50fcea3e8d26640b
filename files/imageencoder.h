#pragma once

#include "engine/renderer.h"

namespace quorvel {

class AtomicFile;

// An image layout that takes rendered rows in the order it stores them and writes them to an
// AtomicFile. Failures are recorded in the file's status; every call after one returns false.
class ImageEncoder : public RowSink {
public:
    virtual RowOrder order() const noexcept = 0;
    // Writes what precedes the rows.
    virtual bool begin() = 0;
    // Writes what follows the rows.
    virtual bool finish() = 0;
};

}  // namespace quorvel

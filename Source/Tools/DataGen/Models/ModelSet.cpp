#include "ModelSet.h"
#include "CarCatalogue.h"

namespace models {

void WriteCars(const TFileSink& sink) {
    for (const TCarDesign& design : CarDesigns())
        WriteCar(design, sink);
}

void WriteModelSet(const TFileSink& sink) {
    WriteCars(sink);
    WritePedestrians(sink);
    WriteMarkers(sink);
}

} // namespace models

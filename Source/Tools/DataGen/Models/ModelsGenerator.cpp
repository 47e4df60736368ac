// Registers the model set with the data set generator.
#include "DataGen.h"
#include "ModelSet.h"

namespace {

void GenerateModels(const TGenContext& context) {
    models::WriteModelSet(
        [&](const std::string& path, const std::vector<uint8_t>& bytes) { context.Write(path, bytes); });
}

} // namespace

KAL_GENERATOR("models", GenerateModels);

#include "uMusic.h"

#include "uErrors.h"

#include <libopenmpt/libopenmpt.hpp>
#include <ostream>
#include <streambuf>

namespace {

// libopenmpt reports warnings about odd modules to a stream; the game has no log to put them in.
class TNullBuffer : public std::streambuf {
  protected:
    int overflow(int c) override { return traits_type::not_eof(c); }
};

std::ostream& NullLog() {
    static TNullBuffer buffer;
    static std::ostream stream(&buffer);
    return stream;
}

} // namespace

TModule::TModule(const std::vector<uint8_t>& bytes, const std::string& fileName) : FileName(fileName) {
    try {
        Player = std::make_unique<openmpt::module>(bytes, NullLog());
    } catch (const std::exception& e) {
        throw Exception(fileName + ": not a readable music module (" + e.what() + ")");
    }
    // Pattern loops and jumps inside the song keep their meaning; the end of the song wraps around.
    Player->set_repeat_count(-1);
}

TModule::~TModule() = default;

void TModule::SetLooping(bool looping) {
    Player->set_repeat_count(looping ? -1 : 0);
}

void TModule::SetOrder(int32_t order) {
    if (order >= 0 && order < Player->get_num_orders())
        Player->set_position_order_row(order, 0);
}

int32_t TModule::GetOrder() const {
    return Player->get_current_order();
}

int32_t TModule::GetRow() const {
    return Player->get_current_row();
}

int32_t TModule::OrderCount() const {
    return Player->get_num_orders();
}

size_t TModule::Render(int rate, size_t frames, float* out) {
    if (rate < 8000 || rate > 192000)
        return 0; // outside the rates libopenmpt renders
    return Player->read_interleaved_stereo(rate, frames, out);
}

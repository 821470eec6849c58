#include "netcdf/classic_format.h"

#include <bit>
#include <cstdint>

namespace obsgrid::netcdf {

namespace {

// Tags of the header's lists.
constexpr std::uint32_t dimensionTag = 0x0A;
constexpr std::uint32_t variableTag = 0x0B;
constexpr std::uint32_t attributeTag = 0x0C;
constexpr std::uint32_t charType = 2;

// Every number in the file is big-endian.
void put32(std::string& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xFF);
}

void put64(std::string& out, std::uint64_t v) {
    for (int shift = 56; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xFF);
}

// Names and texts are padded with zero bytes to a multiple of four.
void putPadded(std::string& out, const std::string& bytes) {
    out += bytes;
    out.append((4 - bytes.size() % 4) % 4, '\0');
}

void putName(std::string& out, const std::string& name) {
    put32(out, static_cast<std::uint32_t>(name.size()));
    putPadded(out, name);
}

void putAttributes(std::string& out, const std::vector<Attribute>& attributes) {
    if (attributes.empty()) {
        put32(out, 0);  // an absent list: two zero words
        put32(out, 0);
        return;
    }
    put32(out, attributeTag);
    put32(out, static_cast<std::uint32_t>(attributes.size()));
    for (const Attribute& a : attributes) {
        putName(out, a.name);
        put32(out, charType);
        put32(out, static_cast<std::uint32_t>(a.text.size()));
        putPadded(out, a.text);
    }
}

std::size_t typeSize(Type type) { return type == Type::float64 ? 8 : 4; }

bool isRecordVariable(const Dataset& d, const Variable& v) {
    return !v.dimensions.empty() && d.dimensions[v.dimensions.front()].length == 0;
}

// Bytes of one variable, or of one record of a record variable; floats and
// doubles are whole words, so no padding is needed.
std::size_t sliceSize(const Dataset& d, const Variable& v) {
    std::size_t size = typeSize(v.type);
    for (std::size_t k = isRecordVariable(d, v) ? 1 : 0; k < v.dimensions.size(); ++k)
        size *= d.dimensions[v.dimensions[k]].length;
    return size;
}

std::string header(const Dataset& d, const std::vector<std::size_t>& begins) {
    std::string out = "CDF";
    out += '\x01';
    put32(out, static_cast<std::uint32_t>(d.recordCount));
    put32(out, dimensionTag);
    put32(out, static_cast<std::uint32_t>(d.dimensions.size()));
    for (const Dimension& dim : d.dimensions) {
        putName(out, dim.name);
        put32(out, static_cast<std::uint32_t>(dim.length));
    }
    putAttributes(out, d.attributes);
    put32(out, variableTag);
    put32(out, static_cast<std::uint32_t>(d.variables.size()));
    for (std::size_t i = 0; i < d.variables.size(); ++i) {
        const Variable& v = d.variables[i];
        putName(out, v.name);
        put32(out, static_cast<std::uint32_t>(v.dimensions.size()));
        for (const std::size_t id : v.dimensions) put32(out, static_cast<std::uint32_t>(id));
        putAttributes(out, v.attributes);
        put32(out, static_cast<std::uint32_t>(v.type));
        put32(out, static_cast<std::uint32_t>(sliceSize(d, v)));
        put32(out, static_cast<std::uint32_t>(begins[i]));
    }
    return out;
}

void putValues(std::string& out, const Variable& v, std::size_t first, std::size_t count) {
    for (std::size_t k = first; k < first + count; ++k) {
        if (v.type == Type::float64) {
            put64(out, std::bit_cast<std::uint64_t>(v.values[k]));
        } else {
            put32(out, std::bit_cast<std::uint32_t>(static_cast<float>(v.values[k])));
        }
    }
}

}  // namespace

std::string encodeClassic(const Dataset& d) {
    // The header's length does not depend on the offsets it holds.
    std::vector<std::size_t> begins(d.variables.size(), 0);
    std::size_t offset = header(d, begins).size();
    for (std::size_t i = 0; i < d.variables.size(); ++i) {
        if (isRecordVariable(d, d.variables[i])) continue;
        begins[i] = offset;
        offset += sliceSize(d, d.variables[i]);
    }
    // Each record holds one slice of every record variable, in order.
    for (std::size_t i = 0; i < d.variables.size(); ++i) {
        if (!isRecordVariable(d, d.variables[i])) continue;
        begins[i] = offset;
        offset += sliceSize(d, d.variables[i]);
    }

    std::string out = header(d, begins);
    for (const Variable& v : d.variables)
        if (!isRecordVariable(d, v)) putValues(out, v, 0, v.values.size());
    for (std::size_t r = 0; r < d.recordCount; ++r) {
        for (const Variable& v : d.variables) {
            if (!isRecordVariable(d, v)) continue;
            const std::size_t perRecord = sliceSize(d, v) / typeSize(v.type);
            putValues(out, v, r * perRecord, perRecord);
        }
    }
    return out;
}

}  // namespace obsgrid::netcdf

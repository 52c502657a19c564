// huffman_tree.cpp: builds the code tree from the frequency table, and the lookup tables from it.
//
// The servers build the same tree from the same table, so every step here is part of the wire
// format: the order of the scan, the strict comparisons that break ties by slot, which child gets
// which node, and sums rounded to single precision. The fast tables are derived from the finished
// tree by walking it, so they cannot disagree with the reference decoder.
#include "brannock/codec/huffman_tables.h"

namespace codec::detail {

// Byte frequencies of the launcher protocol; each literal is exactly one single-precision value.
const float frequencies[symbol_count] = {
    0.14473692f, 0.01147017f, 0.00167522f, 0.03831121f, 0.00356579f, 0.03811315f, 0.00178254f, 0.00199644f,  // 0-7
    0.00183511f, 0.00225716f, 0.0021124f, 0.00308829f, 0.00172852f, 0.00186608f, 0.00215921f, 0.00168891f,  // 8-15
    0.00168603f, 0.00218586f, 0.00284414f, 0.00161833f, 0.00196043f, 0.00151029f, 0.00173932f, 0.0021837f,  // 16-23
    0.00934121f, 0.0022053f, 0.00381211f, 0.00185456f, 0.00194675f, 0.00161977f, 0.0018668f, 0.00182071f,  // 24-31
    0.06421956f, 0.00537786f, 0.00514019f, 0.00487155f, 0.00493925f, 0.00503143f, 0.00514019f, 0.0045352f,  // 32-39
    0.00454241f, 0.00485642f, 0.00422407f, 0.00593387f, 0.0045813f, 0.00343687f, 0.00342823f, 0.00531592f,  // 40-47
    0.0032489f, 0.00333388f, 0.00308613f, 0.00293776f, 0.00258918f, 0.00259278f, 0.00377105f, 0.00267488f,  // 48-55
    0.00227516f, 0.00415997f, 0.00248763f, 0.00301555f, 0.00220962f, 0.0020699f, 0.00270369f, 0.00231694f,  // 56-63
    0.00273826f, 0.00450928f, 0.0038438f, 0.00504728f, 0.00221251f, 0.00376961f, 0.0023299f, 0.00312574f,  // 64-71
    0.00291688f, 0.00280236f, 0.00252436f, 0.00229461f, 0.00294353f, 0.00241201f, 0.0036659f, 0.0019986f,  // 72-79
    0.00257838f, 0.0022586f, 0.00260646f, 0.00187256f, 0.00266552f, 0.00242641f, 0.0021945f, 0.00192082f,  // 80-87
    0.00182071f, 0.0218593f, 0.00157439f, 0.00164353f, 0.00161401f, 0.00187544f, 0.00186248f, 0.03338637f,  // 88-95
    0.00186968f, 0.00172132f, 0.00148509f, 0.00177749f, 0.0014462f, 0.00192442f, 0.00169683f, 0.00209439f,  // 96-103
    0.00209439f, 0.00259062f, 0.00194531f, 0.00182359f, 0.00159096f, 0.00145196f, 0.00128199f, 0.00158376f,  // 104-111
    0.00171412f, 0.00243433f, 0.00345704f, 0.00156359f, 0.001457f, 0.00157007f, 0.00232342f, 0.00154198f,  // 112-119
    0.0014073f, 0.00288807f, 0.0015283f, 0.00151246f, 0.00250203f, 0.0022442f, 0.00161761f, 0.00714383f,  // 120-127
    0.08188576f, 0.00802537f, 0.00119484f, 0.00123805f, 0.05632671f, 0.00305156f, 0.00105584f, 0.00105368f,  // 128-135
    0.00099246f, 0.00090459f, 0.00109473f, 0.00115379f, 0.00261223f, 0.00105656f, 0.00124381f, 0.00100326f,  // 136-143
    0.0012755f, 0.00089739f, 0.00162481f, 0.0010083f, 0.00097229f, 0.00078864f, 0.0010724f, 0.00084409f,  // 144-151
    0.0026576f, 0.00116891f, 0.00073102f, 0.00075695f, 0.00093916f, 0.0010688f, 0.00086786f, 0.001856f,  // 152-159
    0.00608367f, 0.001336f, 0.00075695f, 0.00122077f, 0.00566955f, 0.00108249f, 0.00259638f, 0.00077063f,  // 160-167
    0.00166586f, 0.00090387f, 0.00087074f, 0.00084914f, 0.00130935f, 0.00162409f, 0.00085922f, 0.0009334f,  // 168-175
    0.00093844f, 0.00087722f, 0.00108249f, 0.00098598f, 0.00095933f, 0.00427593f, 0.00496661f, 0.00102775f,  // 176-183
    0.00159312f, 0.00118404f, 0.00114947f, 0.00104936f, 0.00154342f, 0.00140082f, 0.00115883f, 0.00110769f,  // 184-191
    0.00161112f, 0.00169107f, 0.00107816f, 0.00142747f, 0.00279804f, 0.00085922f, 0.00116315f, 0.00119484f,  // 192-199
    0.00128559f, 0.00146204f, 0.00130215f, 0.00101551f, 0.00091756f, 0.00161184f, 0.00236375f, 0.00131872f,  // 200-207
    0.0021412f, 0.00088875f, 0.0013857f, 0.0021196f, 0.0009406f, 0.00088083f, 0.00094564f, 0.00090243f,  // 208-215
    0.0010616f, 0.00088659f, 0.00114514f, 0.00095861f, 0.00108753f, 0.00124165f, 0.00427016f, 0.00159384f,  // 216-223
    0.00170547f, 0.00104431f, 0.00091395f, 0.00095789f, 0.00134681f, 0.00095213f, 0.00105944f, 0.00094132f,  // 224-231
    0.00141883f, 0.00102127f, 0.00101911f, 0.00082105f, 0.00158448f, 0.00102631f, 0.00087938f, 0.0013929f,  // 232-239
    0.00114658f, 0.00095501f, 0.00161329f, 0.00126542f, 0.00113218f, 0.00123661f, 0.00101695f, 0.0011293f,  // 240-247
    0.00317976f, 0.00085346f, 0.0010119f, 0.00189849f, 0.00105728f, 0.00186824f, 0.00092908f, 0.00160896f,  // 248-255
};

namespace {

constexpr float weight_unset = 1e30f;  // the scan's starting minimum, bit pattern 0x7149F2CA

// 255 rounds: merge the two lightest slots (ties to the lower slot) until one tree remains.
int build_tree(Node* nodes) {
    int slot[symbol_count];
    for (int i = 0; i < symbol_count; ++i) {
        nodes[i] = Node{{-1, -1}, static_cast<uint8_t>(i), frequencies[i]};
        slot[i] = i;
    }
    int next = symbol_count;
    for (int round = 0; round < symbol_count - 1; ++round) {
        float m1 = weight_unset, m2 = weight_unset;
        int s1 = -1, s2 = -1;
        for (int j = 0; j < symbol_count; ++j) {
            if (slot[j] < 0) continue;
            const float w = nodes[slot[j]].weight;
            if (w < m1) {
                m2 = m1, s2 = s1;
                m1 = w, s1 = j;
            } else if (w < m2) {
                m2 = w, s2 = j;
            }
        }
        // A 32-bit x87 build would otherwise keep the sum in extended precision; the store rounds
        // it to single precision (nearest even) as the servers do.
        volatile float sum = m2 + m1;
        nodes[next] = Node{{static_cast<int16_t>(slot[s2]), static_cast<int16_t>(slot[s1])}, 255, sum};
        slot[s1] = next++;
        slot[s2] = -1;
    }
    return next - 1;
}

// Depth-first, child 0 first: the path from the root becomes the code, first branch on top.
void assign_codes(const Node* nodes, int node, uint32_t code, uint32_t depth, Code* codes) {
    if (nodes[node].child[0] < 0) {
        codes[nodes[node].byte] = Code{code, depth};
        return;
    }
    assign_codes(nodes, nodes[node].child[0], code * 2, depth + 1, codes);
    assign_codes(nodes, nodes[node].child[1], code * 2 + 1, depth + 1, codes);
}

uint32_t reversed(uint32_t code, uint32_t length) {
    uint32_t r = 0;
    for (uint32_t i = 0; i < length; ++i) r |= ((code >> i) & 1) << (length - 1 - i);
    return r;
}

// Walks the tree along the bits of `window` from bit `from` (stream order). Returns the leaf's
// byte and sets *end to the bit after the code, or returns -1 when the code does not end before
// bit `width`.
int walk(const Tables& t, uint32_t window, int from, int width, int* end) {
    int node = t.root;
    int p = from;
    while (t.nodes[node].child[0] >= 0) {
        if (p >= width) return -1;
        node = t.nodes[node].child[(window >> p) & 1];
        ++p;
    }
    *end = p;
    return t.nodes[node].byte;
}

}  // namespace

void build_tables(Tables& t) {
    t.root = build_tree(t.nodes);
    for (Code& c : t.codes) c = Code{0, 0};
    assign_codes(t.nodes, t.root, 0, 0, t.codes);

    for (int b = 0; b < symbol_count; ++b)
        t.encode[b] = encoder_entry(reversed(t.codes[b].bits, t.codes[b].length), t.codes[b].length);

    for (uint32_t x = 0; x < (1u << window_bits); ++x) {
        uint32_t entry = 0, count = 0;
        int used = 0;
        while (count < symbols_per_entry) {
            int end = 0;
            const int byte = walk(t, x, used, window_bits, &end);
            if (byte < 0) break;
            entry |= static_cast<uint32_t>(byte) << (6 + 8 * count);
            ++count;
            used = end;
        }
        t.decode[x] = entry | count << 30 | static_cast<uint32_t>(used);
    }

    for (uint32_t x = 0; x < (1u << max_code_length); ++x) {
        int end = 0;
        const int byte = walk(t, x, 0, max_code_length, &end);
        t.decode_one[x] = static_cast<uint16_t>(byte | end << 8);
    }
}

}  // namespace codec::detail

#!/usr/bin/env python3
"""Derives and checks the 5x5 median network of src/kernels/median_rules.h.

Five sorted columns (sorted by the 9-exchange network of 5) are merged by
odd-even merging in blocks of 8 wires (5 samples, 3 above every sample);
exchanges with such a wire are dropped or become renamings, and exchanges
that cannot reach the middle output are pruned, one side of an exchange
when only that side is used. The result is checked on all 2^25 inputs of
zeros and ones, which proves it for inputs of any values. Prints the
exchanges as the header writes them.
"""
import itertools

SORT5 = [(0, 1), (3, 4), (2, 4), (2, 3), (1, 4), (0, 3), (0, 2), (1, 3), (1, 2)]
ABOVE = None  # a wire holding a value above every sample


def merge_exchanges(n, block):
    p = block
    while p < n:
        k = p
        while k >= 1:
            for j in range(k % p, n - k, 2 * k):
                for i in range(min(k, n - j - k)):
                    if (i + j) // (p * 2) == (i + j + k) // (p * 2):
                        yield i + j, i + j + k
            k //= 2
        p *= 2


def network(order):
    wires = [ABOVE] * 64
    for b, column in enumerate(order):
        for r in range(5):
            wires[8 * b + r] = (column, r)
    exchanges = []
    for i, j in merge_exchanges(64, 8):
        a, b = wires[i], wires[j]
        if b is ABOVE:
            continue
        if a is ABOVE:
            wires[i], wires[j] = b, a
            continue
        exchanges.append((a, b))
    out = wires[12]
    needed, kept = {out}, []
    for a, b in reversed(exchanges):
        if a in needed or b in needed:
            kept.append(('Sort' if a in needed and b in needed else 'Low' if a in needed else 'High', a, b))
            needed |= {a, b}
    return kept[::-1], out


def check(kept, out):
    n, total = 25, 1 << 25
    def bit(i):  # bit k of the result: bit i of input k
        m, length = ((1 << (1 << i)) - 1) << (1 << i), 2 << i
        while length < total:
            m, length = m | (m << length), 2 * length
        return m
    v = {}
    for c in range(5):
        w = [bit(5 * c + r) for r in range(5)]
        for i, j in SORT5:
            w[i], w[j] = w[i] & w[j], w[i] | w[j]
        v.update({(c, r): w[r] for r in range(5)})
    for op, a, b in kept:
        x, y = v[a], v[b]
        if op != 'High':
            v[a] = x & y
        if op != 'Low':
            v[b] = x | y
    count = []  # bit-sliced count of ones of every input
    for i in range(n):
        carry = bit(i)
        for k in range(len(count)):
            count[k], carry = count[k] ^ carry, count[k] & carry
        count.append(carry)
    full, at_least, equal = (1 << total) - 1, 0, (1 << total) - 1
    for k in reversed(range(len(count))):
        if (13 >> k) & 1:
            equal &= count[k]
        else:
            at_least |= equal & count[k]
            equal &= full ^ count[k]
    return v[out] == at_least | equal


def cost(kept):
    return sum(2 if op == 'Sort' else 1 for op, _, _ in kept)


if __name__ == '__main__':
    # No order of the columns in the blocks gives fewer; this is the header's.
    print('fewest over all orders:', min(cost(network(o)[0]) for o in itertools.permutations(range(5))))
    kept, out = network((3, 1, 2, 0, 4))
    print(f'{len(kept)} exchanges, {cost(kept)} minima and maxima, median in c{list(out)}, '
          f'all zero-one inputs: {"ok" if check(kept, out) else "FAILED"}')
    print(', '.join(f'{op}(c[{a[0]}][{a[1]}], c[{b[0]}][{b[1]}])' for op, a, b in kept))

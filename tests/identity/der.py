"""Just enough DER to walk a signature's structure: elements, their children and object ids."""

from typing import NamedTuple

TAG_OBJECT_ID = 0x06
TAG_SEQUENCE = 0x30
TAG_SET = 0x31
TAG_CONTEXT_1 = 0xA1


class Element(NamedTuple):
    tag: int
    value: bytes
    end: int  # offset just past the element in the buffer it was read from

    def children(self):
        elements, offset = [], 0
        while offset < len(self.value):
            element = read(self.value, offset)
            elements.append(element)
            offset = element.end
        return elements

    def object_id(self):
        if self.tag != TAG_OBJECT_ID:
            raise ValueError("not an object id: tag 0x%02x" % self.tag)
        first, arcs, current = self.value[0], [], 0
        for byte in self.value[1:]:
            current = (current << 7) | (byte & 0x7F)
            if not byte & 0x80:
                arcs.append(current)
                current = 0
        return ".".join(str(arc) for arc in [first // 40, first % 40] + arcs)


def read(data, offset=0):
    tag, length_byte = data[offset], data[offset + 1]
    offset += 2
    if length_byte & 0x80:
        count = length_byte & 0x7F
        length = int.from_bytes(data[offset:offset + count], "big")
        offset += count
    else:
        length = length_byte
    if offset + length > len(data):
        raise ValueError("element runs past its buffer")
    return Element(tag, bytes(data[offset:offset + length]), offset + length)

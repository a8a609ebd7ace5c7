"""The executable under test, read once, and its resources as plain records.

Environment: KESTREL_EXECUTABLE, the launcher file as a Windows build placed it.
"""

import functools
import os
import pathlib
from typing import NamedTuple

import pefile

RT_ICON = 3
RT_GROUP_ICON = 14
RT_VERSION = 16
RT_MANIFEST = 24
LANGUAGE_EN_US = 1033

MACHINE_I386 = 0x014C


class Resource(NamedTuple):
    type: int
    id: int
    language: int
    data: bytes


def path():
    return pathlib.Path(os.environ["KESTREL_EXECUTABLE"])


@functools.lru_cache(maxsize=None)
def image():
    return pefile.PE(str(path()))


def is_x86():
    return image().FILE_HEADER.Machine == MACHINE_I386


@functools.lru_cache(maxsize=None)
def resources():
    """Every resource of the file; a named type or resource stands under its name."""
    pe = image()
    if not hasattr(pe, "DIRECTORY_ENTRY_RESOURCE"):
        return ()
    found = []
    for type_entry in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        resource_type = type_entry.id if type_entry.name is None else str(type_entry.name)
        for name_entry in type_entry.directory.entries:
            for language_entry in name_entry.directory.entries:
                location = language_entry.data.struct
                data = pe.get_data(location.OffsetToData, location.Size)
                resource_id = name_entry.id if name_entry.name is None else str(name_entry.name)
                found.append(Resource(resource_type, resource_id, language_entry.id, data))
    return tuple(found)


def resources_of_type(resource_type):
    return [resource for resource in resources() if resource.type == resource_type]

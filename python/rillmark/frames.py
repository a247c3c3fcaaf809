"""The data frames of the package, made from the blocks the extension returns.

The extension hands over a frame as pandas keeps it inside: one array of
str objects, one of int64 and one of float64, a column per row. The frame
is put together from those blocks, so that a navigation of a hundred rows
does not spend most of its time in the frame's constructor. Where pandas'
internals are not the expected ones, the frames are made by the public
constructor instead: slower, the same frames.
"""
import math

import numpy as np
import pandas as pd

RESULT_COLUMNS = ("Rch_code", "Com_id", "Rch_date", "Duu_id", "FromMeasure", "ToMeasure", "Distance", "RchLength")
BATCH_COLUMNS = ("Request",) + RESULT_COLUMNS
STATUS_COLUMNS = ("Request", "Status", "ccode", "Message")

# Each block's kind and the places of its columns in the frame.
_ROW_LAYOUT = ((object, (0, 2)), (np.int64, (1, 3)), (np.float64, (4, 5, 6, 7)))
_BATCH_LAYOUT = ((object, (0, 1, 3)), (np.int64, (2, 4)), (np.float64, (5, 6, 7, 8)))
_STATUS_LAYOUT = ((object, (0, 2, 3)), (np.int64, (1,)))


def _public_maker(columns, layout):
    def make(blocks):
        data = {}
        for block, (_, places) in zip(blocks, layout):
            for values, at in zip(block, places):
                data[columns[at]] = values
        return pd.DataFrame({name: data[name] for name in columns}, columns=list(columns))

    return make


def _block_maker(columns, layout):
    from pandas._libs.internals import BlockPlacement
    from pandas.core.internals import BlockManager
    from pandas.core.internals.blocks import new_block

    index = pd.Index(columns)
    placements = [BlockPlacement(list(places)) for _, places in layout]

    def make(blocks):
        made = tuple(new_block(b, placement=p, ndim=2) for b, p in zip(blocks, placements))
        return pd.DataFrame(BlockManager(made, [index, pd.RangeIndex(blocks[0].shape[1])], verify_integrity=False))

    return make


def _sample(layout):
    values = {object: ["a", "b"], np.int64: [1, 2], np.float64: [0.5, 1.25]}
    return tuple(np.array([values[kind]] * len(places), dtype=kind) for kind, places in layout)


def _frame_maker(columns, layout):
    public = _public_maker(columns, layout)
    try:
        fast = _block_maker(columns, layout)
        made, expected = fast(_sample(layout)), public(_sample(layout))
        if made.equals(expected) and list(made.columns) == list(columns) and (made.dtypes == expected.dtypes).all():
            return fast
    except Exception:  # noqa: BLE001  (other internals: the public constructor serves)
        pass
    return public


rows_frame = _frame_maker(RESULT_COLUMNS, _ROW_LAYOUT)
batch_frame = _frame_maker(BATCH_COLUMNS, _BATCH_LAYOUT)
status_frame = _frame_maker(STATUS_COLUMNS, _STATUS_LAYOUT)


def _field(value):
    """One value of a requests frame as the field of a requests CSV."""
    if value is None or value is pd.NA or value is pd.NaT:
        return ""
    if isinstance(value, str):
        return value
    if isinstance(value, (bool, np.bool_)):
        return "1" if value else "0"
    if isinstance(value, (int, np.integer)):
        return str(int(value))
    if isinstance(value, (float, np.floating)):
        value = float(value)
        if math.isnan(value):
            return ""
        # A whole number as one (a Com_id column with gaps is read as floats); others exactly.
        return str(int(value)) if value.is_integer() else repr(value)
    return str(value)


def requests_table(requests):
    """The column names and the columns of a requests frame, as lists of fields."""
    if not isinstance(requests, pd.DataFrame):
        raise TypeError(f"requests must be a pandas DataFrame, not {type(requests).__name__}")
    names = []
    for name in requests.columns:
        if not isinstance(name, str):
            raise TypeError(f"requests: the column name {name!r} is not a str")
        names.append(name)
    columns = []
    for _, series in requests.items():
        values = series.tolist()
        if not all(type(v) is str for v in values):
            values = [_field(v) for v in values]
        columns.append(values)
    return names, columns

"""The graph-library reference: igraph_reference.py <flowdata.txt> <outlet Com_id> <out-file>.

Reads the flow table in Python, builds a directed graph of the reaches, takes
the upstream subcomponent of the outlet and writes its reach ids, one a line.
"""
import sys


def main():
    if sys.argv[1:2] in (["-h"], ["--help"]):
        sys.exit(print(__doc__))
    if len(sys.argv) != 4:
        sys.exit(__doc__.split("\n")[0])
    import igraph  # python3-igraph, needed only to run
    flow_path, outlet, out_path = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    vertex = {}
    edges = []
    with open(flow_path, "rb") as table:
        for line in table:
            fields = line.split(b",")
            if len(fields) < 6:
                continue
            up, down, direction = int(fields[1]), int(fields[2]), int(fields[4])
            if direction == 710:
                up, down = down, up
            if up == 0 or down == 0:
                continue
            a = vertex.setdefault(up, len(vertex))
            b = vertex.setdefault(down, len(vertex))
            edges.append((a, b))
    graph = igraph.Graph(n=len(vertex), edges=edges, directed=True)
    ids = list(vertex)
    upstream = graph.subcomponent(vertex[outlet], mode="in")
    with open(out_path, "w") as out:
        out.write("\n".join(str(ids[v]) for v in upstream))
        out.write("\n")


if __name__ == "__main__":
    main()

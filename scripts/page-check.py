#!/usr/bin/python3
"""Drives the map page of a running `rillgeo serve` in headless Chromium through
its DevTools protocol: loads the page, clicks a river point, picks a navigation
and a distance, waits for the route, reads the sites list and checks it against
what the service answers, and keeps a screenshot.

Usage: page-check.py URL PNG --at LON,LAT [--stop LON,LAT] --mode MODE --distance KM --expect NAME [--expect NAME ...]
"""
import argparse
import base64
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time
import urllib.parse
import urllib.request

import websocket


class Fail(Exception):
    pass


class Browser:
    """Headless Chromium with one page, spoken to over the DevTools protocol."""

    def __init__(self, profile):
        self.process = subprocess.Popen(
            ["chromium", "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
             "--disable-background-networking", "--disable-component-update", "--disable-sync",
             "--remote-debugging-port=0", "--remote-allow-origins=*", f"--user-data-dir={profile}",
             "--window-size=1280,860", "--hide-scrollbars", "about:blank"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        active = os.path.join(profile, "DevToolsActivePort")
        deadline = time.time() + 60
        while not (os.path.exists(active) and len(open(active).read().split()) >= 2):
            if time.time() > deadline or self.process.poll() is not None:
                raise Fail("Chromium did not start its DevTools endpoint")
            time.sleep(0.1)
        port = open(active).read().split()[0]
        targets = json.load(urllib.request.urlopen(f"http://127.0.0.1:{port}/json/list", timeout=10))
        page = next(t for t in targets if t.get("type") == "page")
        self.socket = websocket.create_connection(page["webSocketDebuggerUrl"], timeout=60)
        self.next_id = 0
        self.faults = []
        self.requested = []

    def call(self, method, **params):
        self.next_id += 1
        self.socket.send(json.dumps({"id": self.next_id, "method": method, "params": params}))
        while True:
            message = json.loads(self.socket.recv())
            if message.get("method") == "Runtime.exceptionThrown":
                self.faults.append(message["params"]["exceptionDetails"].get("text", "an exception"))
            if message.get("method") == "Log.entryAdded" and message["params"]["entry"].get("level") == "error":
                self.faults.append(message["params"]["entry"].get("text", ""))
            if message.get("method") == "Network.requestWillBeSent":
                self.requested.append(message["params"]["request"]["url"])
            if message.get("id") == self.next_id:
                if "error" in message:
                    raise Fail(f"{method}: {message['error']}")
                return message.get("result", {})

    def evaluate(self, expression):
        result = self.call("Runtime.evaluate", expression=expression, returnByValue=True, awaitPromise=True)
        if "exceptionDetails" in result:
            raise Fail(f"the page could not evaluate {expression!r}: {result['exceptionDetails']}")
        return result["result"].get("value")

    def wait_for(self, expression, what, seconds=60):
        deadline = time.time() + seconds
        while time.time() < deadline:
            value = self.evaluate(expression)
            if value:
                return value
            time.sleep(0.1)
        status = self.evaluate("document.getElementById('status') && document.getElementById('status').textContent")
        raise Fail(f"timed out waiting for {what} (the page says: {status!r})")

    def click(self, x, y):
        for kind in ("mouseMoved", "mousePressed", "mouseReleased"):
            self.call("Input.dispatchMouseEvent", type=kind, x=x, y=y, button="left", clickCount=1)

    def click_element(self, selector):
        box = self.evaluate(f"(() => {{ const r = document.querySelector({json.dumps(selector)}).getBoundingClientRect();"
                            " return [r.left + r.width / 2, r.top + r.height / 2]; })()")
        self.click(*box)

    def close(self):
        try:
            self.socket.close()
        finally:
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()


def get_json(url):
    with urllib.request.urlopen(url, timeout=30) as answer:
        return json.load(answer)


SITES_LISTED = ("Array.from(document.querySelectorAll('#sites li[data-identifier]')).map(li =>"
                " ({identifier: li.getAttribute('data-identifier'),"
                " km: Number(li.getAttribute('data-distance-km')), text: li.textContent}))")


def click_river(browser, lon, lat):
    """Brings the point into view close in, clicks it, and gives the flowline it snapped to."""
    browser.evaluate(f"rillPage.map.setView([{lat}, {lon}], 13, {{animate: false}}), true")
    point = browser.evaluate(f"(() => {{ const p = rillPage.map.latLngToContainerPoint([{lat}, {lon}]);"
                             " const r = document.getElementById('map').getBoundingClientRect();"
                             " return [r.left + p.x, r.top + p.y]; })()")
    browser.evaluate("document.body.setAttribute('data-state', 'clicking'), true")
    browser.click(*point)
    browser.wait_for("document.body.getAttribute('data-state') === 'snapped'", "the snap")


def check_sites(base, browser, comid, mode, query):
    """The sites the page lists are the service's answer to the same navigation, nearest first."""
    sites = browser.evaluate(SITES_LISTED)
    for site in sites:
        print(f"  site {site['text']}")
    network = get_json(f"{base}/page/network")
    answered = []
    for source in network["siteSources"]:
        url = f"{base}/linked-data/comid/{comid}/navigation/{mode}/{urllib.parse.quote(source)}?{query}&f=json"
        answered += [(f["properties"]["distance_km"], str(f["properties"]["identifier"]))
                     for f in get_json(url)["features"]]
    listed = [(site["km"], site["identifier"]) for site in sites]
    if sorted(answered) != listed:
        raise Fail(f"the sites listed {listed} are not the service's {sorted(answered)}")
    return sites


def check(base, png, start, stop, mode, distance, expected):
    profile = tempfile.mkdtemp(prefix="rill-page-check-")
    browser = Browser(profile)
    try:
        browser.call("Runtime.enable")
        browser.call("Log.enable")
        browser.call("Page.enable")
        browser.call("Network.enable")  # to see every request the page makes
        browser.call("Page.navigate", url=f"{base}/#map=13/{start[1]}/{start[0]}")
        browser.wait_for("document.body && document.body.getAttribute('data-state') === 'ready'", "the network")
        drawn = browser.evaluate("(() => { let n = 0; rillPage.map.eachLayer(l => { if (l.feature) n++; }); return n; })()")
        print(f"network drawn: {drawn} flowlines in view")
        if drawn < 10:
            raise Fail("the network is missing from the map")

        # One navigation with a distance.
        click_river(browser, *start)
        comid = browser.evaluate("rillPage.state.comid")
        print(f"clicked {start[0]},{start[1]}: flowline {comid}")
        browser.click_element(f'#modes button[data-mode="{mode}"]')
        browser.click_element("#distance")
        browser.call("Input.insertText", text=str(distance))
        browser.click_element("#go")
        browser.wait_for("document.body.getAttribute('data-state') === 'done'", "the route")
        print("route: " + browser.evaluate("document.getElementById('route-summary').textContent"))
        sites = check_sites(base, browser, comid, mode, f"distance={distance}")
        names = [site["text"] for site in sites]
        for name in expected:
            if not any(text.startswith(name) for text in names):
                raise Fail(f"the site {name!r} is missing from the list {names}")
        state = browser.evaluate("location.hash")
        print(f"address: {state}")
        for wanted in (f"comid={comid}", f"mode={mode}", f"distance={distance}"):
            if wanted not in state:
                raise Fail(f"the address {state!r} does not hold {wanted}")
        shot = browser.call("Page.captureScreenshot", format="png")
        with open(png, "wb") as out:
            out.write(base64.b64decode(shot["data"]))

        # A click on a site of the list brings the map to it.
        if sites:
            browser.click_element("#sites li[data-identifier] button")
            browser.wait_for(
                "(() => { const m = rillPage.map; let hit = false; m.eachLayer(l => { if (l.isPopupOpen &&"
                " l.isPopupOpen() && l.getLatLng && m.getBounds().pad(-0.4).contains(l.getLatLng())) hit = true; });"
                " return hit; })()", "the map to come to the site clicked")
            print("a click on the first site brings the map to it")

        # The address alone brings back the same view, navigation and sites.
        browser.call("Page.navigate", url="about:blank")
        browser.call("Page.navigate", url=f"{base}/{state}")
        browser.wait_for("document.body && document.body.getAttribute('data-state') === 'done'", "the shared view")
        if browser.evaluate(SITES_LISTED) != sites:
            raise Fail(f"the address {state!r} brought back other sites")
        if browser.evaluate("location.hash") != state:
            raise Fail(f"the address {state!r} brought back the view {browser.evaluate('location.hash')!r}")
        print("the address alone brings back the view, the navigation and its sites")

        # From a point to a second one: PP asks for the second click.
        if stop:
            browser.click_element("#clear")
            browser.click_element('#modes button[data-mode="PP"]')
            click_river(browser, *start)
            comid = browser.evaluate("rillPage.state.comid")
            if not browser.evaluate("document.getElementById('go').disabled"):
                raise Fail("PP could be navigated before its stop was clicked")
            click_river(browser, *stop)
            stop_comid = browser.evaluate("rillPage.state.stop")
            print(f"PP from flowline {comid} to flowline {stop_comid}")
            browser.click_element("#go")
            browser.wait_for("document.body.getAttribute('data-state') === 'done'", "the PP route")
            print("route: " + browser.evaluate("document.getElementById('route-summary').textContent"))
            check_sites(base, browser, comid, "PP", f"stopComid={stop_comid}")
            if f"stop={stop_comid}" not in browser.evaluate("location.hash"):
                raise Fail("the address does not hold the stop")

        away = [url for url in browser.requested if not url.startswith(base + "/") and not url.startswith("data:")]
        if away:
            raise Fail(f"the page asked for something beyond the program: {away}")
        print(f"{len(browser.requested)} requests, all to the program")
        if browser.faults:
            raise Fail(f"the page reported faults: {browser.faults}")
    finally:
        browser.close()
        shutil.rmtree(profile, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("url")
    parser.add_argument("png")
    parser.add_argument("--at", required=True, help="LON,LAT of the river point to click")
    parser.add_argument("--stop", help="LON,LAT of a second river point, downstream, for PP")
    parser.add_argument("--mode", default="DM", choices=["UM", "UT", "DM", "DD"])
    parser.add_argument("--distance", default="10")
    parser.add_argument("--expect", action="append", default=[], help="a site name the list must hold")
    options = parser.parse_args()
    start = tuple(float(v) for v in options.at.split(","))
    stop = tuple(float(v) for v in options.stop.split(",")) if options.stop else None
    try:
        check(options.url.rstrip("/"), options.png, start, stop, options.mode, options.distance, options.expect)
    except Fail as fault:
        print(f"FAIL {fault}")
        return 1
    print(f"page check passed ({options.png})")
    return 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/python3
"""The pocket catalogue of 40 000 books in headless Chromium at a phone's size: the file's
size and the time `lirabel3 --poche` takes to write it, the time from opening the file to
the first list painted, and from each key to the list painted again. Medians of several
runs with their range, beside the goals; the machine's load is said.

bench/pocket_phone.py BUILD_DIR [--runs N] [--books N]"""

import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import Select, WebDriverWait

# Installed before the page's own script: when the first list is painted, and each key's
# time from its press to the list painted again.
TIMING = """
window.timing = {keys: [], painted: null};
let pressed = 0;
document.addEventListener('keydown', e => { pressed = performance.now(); }, true);
const afterPaint = f => requestAnimationFrame(() => setTimeout(f, 0));
document.addEventListener('input', () => {
  const from = pressed;
  afterPaint(() => window.timing.keys.push(performance.now() - from));
});
document.addEventListener('change', e => {
  const from = e.timeStamp;
  afterPaint(() => window.timing.keys.push(performance.now() - from));
});
// Asked for before the page's own work after its first frame, so that work is not counted.
const mark = performance.mark.bind(performance);
performance.mark = (name, ...rest) => {
  const made = mark(name, ...rest);
  if (name === 'first-list') afterPaint(() => { window.timing.painted = performance.now(); });
  return made;
};
"""


def browser():
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for flag in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
                 "--disable-background-networking", "--no-first-run"):
        options.add_argument(flag)
    options.add_experimental_option("mobileEmulation", {
        "deviceMetrics": {"width": 360, "height": 740, "pixelRatio": 3, "touch": True}})
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": TIMING})
    return driver


def line(name, samples, unit, goal=None):
    med = statistics.median(samples)
    verdict = "" if goal is None else ("  met" if med <= goal else "  NOT MET")
    goal_text = "" if goal is None else f"  (goal {goal:g} {unit})"
    print(f"{name:<44} {med:8.1f} {unit} [{min(samples):.1f} - {max(samples):.1f}]"
          f"{goal_text}{verdict}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build")
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("--books", type=int, default=40000)
    args = parser.parse_args()
    program = os.path.join(args.build, "Lirabel3")
    writer = os.path.join(args.build, "bench", "q7bench_window")

    with tempfile.TemporaryDirectory() as tmp:
        folder = os.path.join(tmp, "livres")
        os.mkdir(folder)
        subprocess.run([writer, "--write", folder, str(args.books)], check=True)
        page = os.path.join(tmp, "poche.html")
        env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(tmp, "config"))
        writes = []
        for _ in range(args.runs):
            start = time.perf_counter()
            subprocess.run([program, "--poche", page, folder], check=True, env=env,
                           stdout=subprocess.DEVNULL)
            writes.append((time.perf_counter() - start) * 1000)
        size = os.path.getsize(page)

        print(f"pocket catalogue of {args.books} books, headless Chromium at 360 x 740; "
              f"median of {args.runs} runs [min - max]; load {os.getloadavg()[0]:.1f}")
        print(f"{'file size':<44} {size / 1e6:8.2f} MB  (goal 10 MB)"
              f"{'  met' if size <= 10e6 else '  NOT MET'}")
        line("lirabel3 --poche", writes, "ms")

        # The same with one book, in the same runs: what the browser takes for any page.
        alone = os.path.join(tmp, "seul")
        os.mkdir(alone)
        subprocess.run([writer, "--write", alone, "1"], check=True)
        one = os.path.join(tmp, "un.html")
        subprocess.run([program, "--poche", one, alone], check=True, env=env,
                       stdout=subprocess.DEVNULL)

        def opened(driver, path):
            driver.get("file://" + path)
            WebDriverWait(driver, 30).until(
                lambda d: d.execute_script("return window.timing.painted !== null"))
            return driver.execute_script("return window.timing.painted")

        driver = browser()
        first, base, keys, widening, group = [], [], [], [], []
        try:
            for _ in range(args.runs):
                base.append(opened(driver, one))
                first.append(opened(driver, page))
                box = driver.find_element(By.ID, "chercher")
                # Typing narrows; taking letters away searches the whole catalogue again.
                for text, into in (("victor hugo", keys), ("zola", keys)):
                    for c in text:
                        box.send_keys(c)
                    for _ in text:
                        box.send_keys(Keys.BACKSPACE)
                    WebDriverWait(driver, 10).until(lambda d: len(d.execute_script(
                        "return window.timing.keys")) == 2 * len(text))
                    done = driver.execute_script("const k = window.timing.keys;"
                                                 "window.timing.keys = []; return k")
                    into.extend(done[:len(text)])
                    widening.extend(done[len(text):])
                Select(driver.find_element(By.ID, "regrouper")).select_by_value("auteur")
                WebDriverWait(driver, 10).until(
                    lambda d: len(d.execute_script("return window.timing.keys")) == 1)
                group.append(driver.execute_script("return window.timing.keys.pop()"))
            line("open -> first list painted, 1 book", base, "ms")
            line("open -> first list painted", first, "ms", 1000)
            line("key -> list painted (typing on)", keys, "ms", 50)
            line("key -> list painted (Backspace)", widening, "ms", 50)
            line("group by author -> painted", group, "ms")
        finally:
            driver.quit()


if __name__ == "__main__":
    sys.exit(main())
